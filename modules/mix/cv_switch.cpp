#include "modules/mix/cv_switch.h"

#include <algorithm>

#include "modules/render_table.h"
#include "registry/plug_declaration.h"

namespace kr {

template <int Inputs>
int CvSwitch<Inputs>::Choose(float select) {
  if (!(select > 0.0f)) return 0;  // below 0 V, and NaN, the first
  if constexpr (Inputs == 2) {
    return 1;
  } else {
    const float position = select * static_cast<float>(Inputs);  // 1.0 is 10 V
    return position >= static_cast<float>(Inputs - 1) ? Inputs - 1 : static_cast<int>(position);
  }
}

template <int Inputs>
void CvSwitch<Inputs>::Open() {
  for (int k = 0; k < Inputs; ++k) ins_[static_cast<std::size_t>(k)] = GetPlug(k)->GetSampleBuffer();
  select_ = GetPlug(kSelect)->GetSampleBuffer();
  out_ = GetPlug(kOutput)->GetSampleBuffer();
  ug_base::Open();
  Update(clock);
}

template <int Inputs>
void CvSwitch<Inputs>::OnPlugStateChange(int time, connector*, PlugState) {
  Update(time);
}

template <int Inputs>
void CvSwitch<Inputs>::Update(int time) {
  const bool selectRuns = GetPlug(kSelect)->state == ST_RUN;
  fixed_ = Choose(GetPlug(kSelect)->GetValueNow());
  bool runs = selectRuns;
  for (int k = 0; k < Inputs; ++k)
    if ((selectRuns || k == fixed_) && GetPlug(k)->state == ST_RUN) runs = true;
  GetPlug(kOutput)->SetState(time, runs ? ST_RUN : ST_STATIC);
  if (!runs) {
    StartSettling(&CvSwitch::Settle);
    return;
  }
  static constexpr auto kRenders = RenderTable<2>([](auto i) { return &CvSwitch::Render<Bit<0>(i)>; });
  SetProcessFunction(kRenders[RunBits(selectRuns)]);
}

template <int Inputs>
template <bool SelectRuns>
void CvSwitch<Inputs>::Render(int offset, int count) {
  if constexpr (SelectRuns) {
    for (int i = offset; i < offset + count; ++i) out_[i] = ins_[static_cast<std::size_t>(Choose(select_[i]))][i];
  } else {
    std::copy_n(ins_[static_cast<std::size_t>(fixed_)] + offset, count, out_ + offset);
  }
}

template <int Inputs>
void CvSwitch<Inputs>::Settle(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) { Render<false>(at, n); });
}

template class CvSwitch<2>;
template class CvSwitch<4>;

void ug_obs_USwitch_v1::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_obs_USwitch_v1> kPlugs[] = {
      {.at = PN_INPUT_A, .name = "Input A", .defaultText = "0", .flags = PF_SIGNAL},
      {.at = PN_INPUT_B, .name = "Input B", .defaultText = "0", .flags = PF_SIGNAL},
      {.at = PN_SELECT, .name = "Select", .defaultText = "0", .hint = "Above 0 V passes Input B, else Input A"},
      {.at = PN_OUTPUT, .name = "Output", .direction = DR_OUT},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_obs_USwitch2_v1::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_obs_USwitch2_v1> kPlugs[] = {
      {.at = PN_INPUT_1, .name = "Input 1", .defaultText = "0", .flags = PF_SIGNAL},
      {.at = PN_INPUT_2, .name = "Input 2", .defaultText = "0", .flags = PF_SIGNAL},
      {.at = PN_INPUT_3, .name = "Input 3", .defaultText = "0", .flags = PF_SIGNAL},
      {.at = PN_INPUT_4, .name = "Input 4", .defaultText = "0", .flags = PF_SIGNAL},
      {.at = PN_SELECT,
       .name = "Select",
       .defaultText = "0",
       .list = "10,0,10,0",
       .hint = "0 - 2.5 V Input 1, 2.5 - 5 V Input 2, 5 - 7.5 V Input 3, above 7.5 V Input 4"},
      {.at = PN_OUTPUT, .name = "Output", .direction = DR_OUT},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

}  // namespace kr
