// "MIDI Filter": passes MIDI unchanged, dropping channel messages outside a
// channel range, note offs outside a note range, and note ons outside the
// note or the velocity range (all bounds inclusive). System messages always
// pass.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/ug_midi_device.h"
#include "registry/midi_link.h"

namespace kr {

class ug_midi_filter : public ug_midi_device {
 public:
  enum PlugIndex { PN_MIDI_IN, PN_MIDI_OUT, PN_CHANNEL_LO, PN_CHANNEL_HI, PN_NOTE_LO, PN_NOTE_HI, PN_VELOCITY_LO,
                   PN_VELOCITY_HI };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_filter>(); }
  void ListInterface(InterfaceList& list) override;
  void OnMidi(int time, std::uint32_t message) override;

  bool Passes(std::uint32_t message) const;

 private:
  MidiInEndpoint midiIn_;
  MidiOutEndpoint midiOut_;
  std::int16_t channelLo_ = 1;
  std::int16_t channelHi_ = 16;
  std::int16_t noteLo_ = 0;
  std::int16_t noteHi_ = 127;
  std::int16_t velocityLo_ = 0;
  std::int16_t velocityHi_ = 127;
};

}  // namespace kr
