#include "engine/ug_generic_1_1.h"

#include <algorithm>

void ug_generic_1_1::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Signal in", DR_IN, DT_AUDIO, "0", "", 0, "", &in_ptr);
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out_ptr);
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
