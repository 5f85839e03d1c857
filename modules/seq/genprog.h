// "GenProg" and "GenProg Trigger": patch breeding. On a rise of "Trigger"
// (or a notification from the panel) the module asks the GUI side to breed
// program "Child" from "Parent A" and "Parent B" of the patch memory its
// container plays (see patch/program_breeding.h), moving "Mutation" of the
// values within their ranges.
//
// Our choices: each breeding's seed is drawn from a generator started from
// "Seed" when sound starts, so a run of breedings repeats exactly from the
// same seed; with "Switch To Child" the patch then plays the child. "GenProg"
// is the panel module, "GenProg Trigger" the same without a panel.
#pragma once

#include <cstdint>
#include <memory>

#include "base/split_mix.h"
#include "dsp/logic_levels.h"
#include "engine/breed_request.h"
#include "engine/ug_base.h"

namespace kr {

class ug_genprog : public ug_base {
 public:
  enum PlugIndex { PN_TRIGGER, PN_PARENT_A, PN_PARENT_B, PN_CHILD, PN_MUTATION, PN_SEED, PN_SWITCH_TO_CHILD };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_genprog>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  // Kind 1 from the panel breeds at once.
  void OnUiNotify(int kind, int value) override;

  // The request the next breeding sends (its seed drawn from the generator).
  BreedRequest NextRequest();

 private:
  void Watch(int offset, int count);
  void Breed();

  float* trigger_ = nullptr;
  std::int16_t parentA_ = 0;
  std::int16_t parentB_ = 1;
  std::int16_t child_ = 2;
  float mutation_ = 0.1f;
  std::int32_t seed_ = 1;
  bool switchToChild_ = true;
  dsp::LogicInput rising_;
  SplitMix random_{1};
};

class ug_genprog_trigger final : public ug_genprog {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_genprog_trigger>(); }
};

}  // namespace kr
