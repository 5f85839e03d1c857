#include "modules/filter/filter_eq.h"

#include <algorithm>
#include <cmath>

#include "modules/render_table.h"

namespace kr {

std::unique_ptr<ug_base> ug_filter_eq_parametric::CreateSame() { return std::make_unique<ug_filter_eq_parametric>(); }

void ug_filter_eq_parametric::ListInterface(InterfaceList& list) { ListPlugs(list, true); }

void ug_filter_eq_parametric::Open() {
  ug_base::Open();
  StartAfresh();
}

void ug_filter_eq_parametric::StartAfresh() {
  state_ = {};
  UpdateCoefficients();
  ChooseProcess();
}

void ug_filter_eq_parametric::UpdateCoefficients() {
  coefs_ = kr::dsp::PeakingCoefficients(ValueNow(PN_PITCH), ValueNow(PN_RESONANCE), ValueNow(PN_BOOST_CUT),
                                        VoltsPerKHz(), SampleRate());
}

void ug_filter_eq_parametric::OnPlugStateChange(int time, connector* c, PlugState) {
  UpdateCoefficients();
  ChooseProcess();
  if (InputIndex(c) == PN_SIGNAL) SetOutputStates(time, ST_RUN);
  CheckNow(time);
}

void ug_filter_eq_parametric::ChooseProcess() {
  static constexpr auto kRenders =
      kr::RenderTable<2>([](auto i) { return &ug_filter_eq_parametric::Render<kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(Streams(PN_PITCH) || Streams(PN_RESONANCE) || Streams(PN_BOOST_CUT))]);
}

template <bool CoefRun>
void ug_filter_eq_parametric::Render(int offset, int count) {
  const bool khz = VoltsPerKHz();
  const double rate = SampleRate();
  kr::dsp::EqCoefficients c = coefs_;
  kr::dsp::EqState s = state_;
  OnFlushGrid(
      offset, count,
      [&](int i) {
        if constexpr (CoefRun) c = kr::dsp::PeakingCoefficients(pitch_[i], resonance_[i], boost_[i], khz, rate);
        out_[i] = kr::dsp::EqStep(s, c, signal_[i]);
      },
      [&] { kr::dsp::EqFlush(s); });
  state_ = s;
  coefs_ = c;
}

bool ug_filter_eq_parametric::TrySettle() {
  if (!std::isfinite(state_.allpass.s1) || !std::isfinite(state_.allpass.s2)) state_ = {};
  if (Streams(PN_SIGNAL)) return false;
  const float x = ValueNow(PN_SIGNAL);
  if (!kr::dsp::EqConverged(state_, coefs_, x)) return false;
  kr::dsp::EqSnap(state_, coefs_, x);
  steady_ = x;
  return true;
}

void ug_filter_eq_parametric::FillSteady(int offset, int count) { std::fill_n(out_ + offset, count, steady_); }

}  // namespace kr
