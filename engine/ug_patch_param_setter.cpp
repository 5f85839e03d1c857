#include "engine/ug_patch_param_setter.h"

#include "engine/uplug.h"

namespace kr {

ug_patch_param_setter::ug_patch_param_setter() {
  flags |= UGF_NO_MARKING | UGF_NEVER_SUSPEND | UGF_PATCH_PARAM_SETTER;
  SetProcessFunction(&ug_base::SleepCheck);
  // "MIDI In" and "MIDI Out", hidden: they only carry the run order.
  for (PlugDirection direction : {DR_IN, DR_OUT}) {
    auto plug = std::make_unique<UPlug>(this, direction, DT_MIDI);
    plug->AllocateData();
    AddPlug(std::move(plug));
  }
}

void ug_patch_param_setter::Open() {
  ug_base::Open();
  SetProcessFunction(&ug_base::SleepCheck);
  // The constant outputs already hold their values: pass them on as steps
  // when the module first runs.
  AddEvent(NewEvent(clock, UET_UI_NOTIFY, 1), true);
}

}  // namespace kr
