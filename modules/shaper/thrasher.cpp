#include "modules/shaper/thrasher.h"

#include "modules/render_table.h"
#include "registry/plug_declaration.h"

namespace kr {

void UThrasher::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<UThrasher> kPlugs[] = {
      {.at = PN_SIGNAL, .name = "Signal", .defaultText = "0", .flags = PF_SIGNAL, .bind = &UThrasher::in_},
      {.at = PN_BITS,
       .name = "Bits",
       .defaultText = "10",
       .list = "10,0,10,0",
       .hint = "Word length: 0 V is 1 bit, 10 V 16 bits",
       .bind = &UThrasher::bits_},
      {.at = PN_RATE,
       .name = "Rate",
       .defaultText = "10",
       .list = "10,0,10,0",
       .hint = "10 V takes every sample, 0 V one in 64",
       .bind = &UThrasher::rate_},
      {.at = PN_OUTPUT, .name = "Output", .direction = DR_OUT, .bind = &UThrasher::out_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void UThrasher::Open() {
  ug_base::Open();
  state_ = {};
  OnPlugStateChange(clock, nullptr, ST_STATIC);
}

void UThrasher::OnPlugStateChange(int time, connector*, PlugState) {
  const bool signalRuns = GetPlug(PN_SIGNAL)->state == ST_RUN;
  const bool controlsRun = GetPlug(PN_BITS)->state == ST_RUN || GetPlug(PN_RATE)->state == ST_RUN;
  levels_ = dsp::crusher::LevelsFor(GetPlug(PN_BITS)->GetValueNow());
  step_ = dsp::crusher::StepFor(GetPlug(PN_RATE)->GetValueNow());
  GetPlug(PN_OUTPUT)->SetState(time, signalRuns || controlsRun ? ST_RUN : ST_STATIC);
  if (!signalRuns && !controlsRun) {
    // A steady input: the held value settles on it within a period.
    StartSettling(&UThrasher::Settle);
    return;
  }
  static constexpr auto kRenders = RenderTable<2>([](auto i) { return &UThrasher::Render<Bit<0>(i)>; });
  SetProcessFunction(kRenders[RunBits(controlsRun)]);
}

template <bool ControlsRun>
void UThrasher::Render(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    if constexpr (ControlsRun) {
      out_[i] = dsp::crusher::Process(state_, in_[i], dsp::crusher::LevelsFor(bits_[i]), dsp::crusher::StepFor(rate_[i]));
    } else {
      out_[i] = dsp::crusher::Process(state_, in_[i], levels_, step_);
    }
  }
}

void UThrasher::Settle(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) {
    // The held sample is taken at once, so a settled output is the input's step.
    state_.phase = 1.0;
    Render<false>(at, n);
  });
}

}  // namespace kr
