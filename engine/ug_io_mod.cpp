#include "engine/ug_io_mod.h"

#include "document/module_registry.h"

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

namespace {
const bool kRegistered = RegisterModule(std::make_unique<Module_Info>(
    "IO Mod", "", 0, 0, nullptr, AudioFactoryFor<ug_io_mod>, MF_CONTAINER_2 | MF_IO_MODULE | MF_STRUCTURE_VIEW));
}  // namespace
