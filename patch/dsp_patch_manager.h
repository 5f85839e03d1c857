// The audio side of one patch memory's MIDI automation: which twin listens
// to which controller identifier, and the one that learns the next
// controller. Made with the twins while the engine is stopped; afterwards
// audio thread only. Never allocates after it is made.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/midi_automation.h"

namespace kr {

class ug_container;

class dsp_patch_parameter;

class dsp_patch_manager final : public PatchParameterAutomation {
 public:
  // container: the patch owner's audio object, whose automator output the
  // twins send through.
  explicit dsp_patch_manager(ug_container* container) : container_(container) {}

  // Engine stopped: a twin of this memory (its stored identifier is applied).
  void Add(dsp_patch_parameter& twin, std::int32_t identifier);

  // Files the twin under the identifier: -1 none, -2 learning (a second
  // request replaces the first, which is told it no longer learns).
  void AssignController(dsp_patch_parameter& twin, std::int32_t identifier);
  void DispatchToParameters(int time, std::int32_t identifier, float value) override;

  // The automator's output module, when the memory's container has one.
  MidiAutomationOutput* Output() const;

 private:
  ug_container* container_;
  std::vector<dsp_patch_parameter*> twins_;
  dsp_patch_parameter* learning_ = nullptr;
};

}  // namespace kr
