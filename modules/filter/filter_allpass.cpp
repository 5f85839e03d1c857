#include "modules/filter/filter_allpass.h"

#include <algorithm>
#include <cmath>

#include "modules/render_table.h"
#include "registry/plug_declaration.h"

namespace kr {

std::unique_ptr<ug_base> ug_filter_allpass::CreateSame() { return std::make_unique<ug_filter_allpass>(); }

std::unique_ptr<ug_base> ug_filter_allpass::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_filter_allpass&>(*copy).tuning_ = tuning_;
  return copy;
}

void ug_filter_allpass::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_filter_allpass> kPlugs[] = {
      {.at = PN_SIGNAL, .name = "Signal", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_filter_allpass::signal_},
      {.at = PN_PITCH,
       .name = "Pitch",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Controls the Filter's 'Cutoff'. 1 Volt per Octave",
       .bind = &ug_filter_allpass::pitch_},
      {.at = PN_RESONANCE,
       .name = "Resonance",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Controls the rollover frequency band width",
       .bind = &ug_filter_allpass::resonance_},
      {.at = PN_OUTPUT, .name = "Output", .direction = DR_OUT, .defaultText = "0", .bind = &ug_filter_allpass::out_},
      {.at = PN_FREQ_SCALE,
       .name = "Freq Scale",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1 Volt/Octave, 1 Volt/kHz ",
       .hint = "Switches between 1 Volt per Octave or 1 Volt per kHz response.",
       .bind = &ug_filter_allpass::freqScale_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_filter_allpass::Open() {
  if (!tuning_ || tuning_->SampleRate() != SampleRate())
    tuning_ = std::make_shared<const kr::dsp::AllpassTuning>(SampleRate());
  ug_base::Open();
  StartAfresh();
}

void ug_filter_allpass::StartAfresh() {
  state_ = {};
  UpdateCoefficients();
  ChooseProcess();
}

void ug_filter_allpass::UpdateCoefficients() {
  coefs_ = tuning_->Coefficients(ValueNow(PN_PITCH), ValueNow(PN_RESONANCE), VoltsPerKHz());
}

void ug_filter_allpass::OnPlugStateChange(int time, connector* c, PlugState) {
  UpdateCoefficients();
  ChooseProcess();
  if (InputIndex(c) == PN_SIGNAL) SetOutputStates(time, ST_RUN);
  CheckNow(time);
}

void ug_filter_allpass::ChooseProcess() {
  static constexpr auto kRenders =
      kr::RenderTable<2>([](auto i) { return &ug_filter_allpass::Render<kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(Streams(PN_PITCH) || Streams(PN_RESONANCE))]);
}

template <bool CoefRun>
void ug_filter_allpass::Render(int offset, int count) {
  const kr::dsp::AllpassTuning& tuning = *tuning_;
  const bool khz = VoltsPerKHz();
  kr::dsp::AllpassCoefficients c = coefs_;
  kr::dsp::AllpassState s = state_;
  OnFlushGrid(
      offset, count,
      [&](int i) {
        if constexpr (CoefRun) c = tuning.Coefficients(pitch_[i], resonance_[i], khz);
        out_[i] = kr::dsp::AllpassStep(s, c, signal_[i]);
      },
      [&] { kr::dsp::AllpassFlush(s); });
  state_ = s;
  coefs_ = c;
}

bool ug_filter_allpass::TrySettle() {
  if (!std::isfinite(state_.s1) || !std::isfinite(state_.s2)) state_ = {};
  if (Streams(PN_SIGNAL)) return false;
  const float x = ValueNow(PN_SIGNAL);
  if (!kr::dsp::AllpassConverged(state_, coefs_, x)) return false;
  // The states a constant input really settles to, so that waking later
  // continues without a jump; the output of a constant is the constant.
  kr::dsp::AllpassSnap(state_, coefs_, x);
  steady_ = x;
  return true;
}

void ug_filter_allpass::FillSteady(int offset, int count) { std::fill_n(out_ + offset, count, steady_); }

}  // namespace kr
