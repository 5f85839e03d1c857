// The audio half of "Patch Select": a MIDI program change picks the
// container's program (the panel side follows at its next refresh and tells
// the host), and a program chosen on the panel side goes out as a MIDI
// program change and reaches the container's controls.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/ug_midi_device.h"
#include "registry/midi_link.h"
#include "registry/patch_select_program.h"

namespace kr {

class ug_patch_sel final : public ug_midi_device, public PatchSelectProgram {
 public:
  // Runs early (as the MIDI automator does), before the controls it
  // switches: they take a MIDI program change at its sample.
  ug_patch_sel() { flags |= UGF_SORT_EARLY; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_patch_sel>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void OnMidi(int time, std::uint32_t message) override;
  void OnUiNotify(int kind, int value) override;
  // GUI thread: the panel side stored a new program in shownProgram.
  void PostProgramNotify(int program) override;

 private:
  void Apply();

  MidiInEndpoint midiIn_;
  MidiOutEndpoint midiOut_;
  std::int16_t channel_ = -1;
  std::int16_t program_ = 0;
};

}  // namespace kr
