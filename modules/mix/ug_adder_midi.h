// "MIDI Adder2": passes every message from any wire on "In" to "Out" at its time.
#pragma once

#include "engine/ug_midi_device.h"

namespace kr {

class ug_adder_midi : public ug_midi_device {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_adder_midi>(); }
  void ListInterface(InterfaceList& list) override;
  void OnMidi(int time, std::uint32_t message) override;
};

}  // namespace kr
