// "Controllers": channel aftertouch, pitch bend and four chosen controllers
// as voltages, each gliding to a new value over a sixtieth of a second.
#pragma once

#include <array>

#include "engine/ug_base.h"
#include "modules/midi/output_smoother.h"
#include "registry/midi_link.h"

namespace kr {

class ug_midi_controllers : public ug_base {
 public:
  static constexpr int kSlots = 4;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_controllers>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void HandleEvent(ug_event* event) override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 private:
  void OnMidi(int time, std::uint32_t message);
  void Process(int offset, int count);

  MidiInEndpoint midiIn_;
  std::int16_t channel_ = -1;
  std::array<std::int16_t, kSlots> types_{1, 2, 3, 4};
  std::array<std::int16_t, kSlots> registers_{};
  std::array<float*, 2 + kSlots> outs_{};
  std::array<OutputSmoother, 2 + kSlots> smoothers_;
};

}  // namespace kr
