#include "engine/ug_io_mod.h"

ug_io_mod::ug_io_mod() {
  flags |= UGF_NO_MARKING | UGF_IO_MOD;
  SetProcessFunction(&ug_base::SleepCheck);
}

void ug_io_mod::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Spare", DR_CONTAINER_IO, DT_AUDIO, "0", "",
                    PF_RENAME | PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT,
                    "Connection to modules outside (at higher level of structure)");
}

void ug_io_mod::Open() {
  ug_base::Open();
  SetProcessFunction(&ug_base::SleepCheck);
  // Constant outputs already hold their values: pass them on as steps when
  // the module first runs.
  AddEvent(NewEvent(clock, UET_UI_NOTIFY, 1), true);
}
