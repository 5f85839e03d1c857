#include "engine/ug_generic_1_1.h"

#include <algorithm>

#include "registry/plug_declaration.h"

namespace kr {

void ug_generic_1_1::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_generic_1_1> kPlugs[] = {
      {.name = "Signal in", .defaultText = "0", .bind = &ug_generic_1_1::in_ptr},
      {.name = "Signal Out", .direction = DR_OUT, .bind = &ug_generic_1_1::out_ptr},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_generic_1_1::Open() {
  SetProcessFunction(&ug_generic_1_1::BlockFunction);
  ug_base::Open();
}

void ug_generic_1_1::OnPlugStateChange(int time, connector* c, PlugState state) {
  Wake();
  GetPlug(1)->SetState(time, state);
  if (state == ST_RUN) {
    SetProcessFunction(&ug_generic_1_1::BlockFunction);
  } else {
    StartSettling(&ug_generic_1_1::SettleBlock);
  }
}

void ug_generic_1_1::SettleBlock(int offset, int count) {
  // Runs exactly L samples after the last change, then checks for sleep.
  SettleStep(offset, count, [this](int at, int n) { BlockFunction(at, n); });
}

}  // namespace kr
