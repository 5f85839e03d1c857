// "MIDI Out": what reaches its "MIDI In" goes to the host's MIDI output, at
// its sample, through the same outgoing ring as "VST Output"'s MIDI (the
// effect object hands the ring's entries to the host after the block).
// Without a host ring (no host block yet) the messages are dropped.
#pragma once

#include <memory>

#include "engine/ug_midi_device.h"
#include "registry/midi_link.h"

namespace kr {

class ug_midi_out : public ug_midi_device {
 public:
  enum PlugIndex { PN_MIDI_IN };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_out>(); }
  void ListInterface(InterfaceList& list) override;
  void OnMidi(int time, std::uint32_t message) override;

 private:
  MidiInEndpoint midiIn_;
};

}  // namespace kr
