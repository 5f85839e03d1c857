#include "patch/dsp_patch_manager.h"

#include "engine/ug_container.h"
#include "patch/dsp_patch_parameter.h"

namespace kr {

void dsp_patch_manager::Add(dsp_patch_parameter& twin, std::int32_t identifier) {
  twins_.push_back(&twin);
  twin.manager_ = this;
  AssignController(twin, midi_id::Checked(identifier));
}

void dsp_patch_manager::AssignController(dsp_patch_parameter& twin, std::int32_t identifier) {
  if (learning_ == &twin) learning_ = nullptr;
  twin.controller_ = identifier >= 0 ? identifier : midi_id::kNone;
  if (identifier != midi_id::kLearning) return;
  if (learning_ != nullptr) learning_->TellLearnt(midi_id::kNone);
  learning_ = &twin;
}

void dsp_patch_manager::DispatchToParameters(int time, std::int32_t identifier, float value) {
  if (learning_ != nullptr) {
    dsp_patch_parameter& learner = *learning_;
    AssignController(learner, identifier);
    learner.TellLearnt(identifier);
  }
  for (dsp_patch_parameter* twin : twins_)
    if (twin->controller_ == identifier) twin->ControllerChange(time, value);
}

MidiAutomationOutput* dsp_patch_manager::Output() const {
  if (container_ == nullptr || container_->midiAutomatorOut == nullptr) return nullptr;
  return dynamic_cast<MidiAutomationOutput*>(container_->midiAutomatorOut);
}

}  // namespace kr
