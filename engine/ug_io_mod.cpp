#include "engine/ug_io_mod.h"

#include "registry/plug_declaration.h"

namespace kr {

ug_io_mod::ug_io_mod() {
  flags |= UGF_NO_MARKING | UGF_IO_MOD;
  SetProcessFunction(&ug_base::SleepCheck);
}

void ug_io_mod::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_io_mod> kPlugs[] = {
      {.name = "Spare",
       .direction = DR_CONTAINER_IO,
       .defaultText = "0",
       .flags = PF_RENAME | PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT,
       .hint = "Connection to modules outside (at higher level of structure)"},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_io_mod::Open() {
  ug_base::Open();
  SetProcessFunction(&ug_base::SleepCheck);
  // Constant outputs already hold their values: pass them on as steps when
  // the module first runs.
  AddEvent(NewEvent(clock, UET_UI_NOTIFY, 1), true);
}

}  // namespace kr
