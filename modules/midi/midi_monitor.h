// "MIDI Monitor": each MIDI message on "MIDI In" becomes a line of text on
// the module's console on the panel ("prnt"), such as "Ch 1 Note On 60 vel 90".
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/ug_midi_device.h"
#include "registry/midi_link.h"

namespace kr {

class ug_midi_monitor : public ug_midi_device {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_monitor>(); }
  void ListInterface(InterfaceList& list) override;
  void OnMidi(int time, std::uint32_t message) override;

  // The line a message reads as (no allocation: into a buffer of the caller's).
  static std::size_t Describe(std::uint32_t message, char* out, std::size_t size);

 private:
  MidiInEndpoint midiIn_;
};

}  // namespace kr
