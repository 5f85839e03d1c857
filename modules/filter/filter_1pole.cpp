#include "modules/filter/filter_1pole.h"

#include <algorithm>
#include <cmath>

#include "modules/render_table.h"
#include "registry/plug_declaration.h"

namespace kr {

std::unique_ptr<ug_base> ug_filter_1pole::CreateSame() { return std::make_unique<ug_filter_1pole>(); }
std::unique_ptr<ug_base> ug_filter_1pole_hp::CreateSame() { return std::make_unique<ug_filter_1pole_hp>(); }

std::unique_ptr<ug_base> ug_filter_1pole::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_filter_1pole&>(*copy).tuning_ = tuning_;
  return copy;
}

void ug_filter_1pole::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_filter_1pole> kPlugs[] = {
      {.at = PN_SIGNAL, .name = "Signal", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_filter_1pole::signal_},
      {.at = PN_PITCH,
       .name = "Pitch",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Controls the Filter's 'Cutoff'. 1 Volt per Octave or 1 Volt / kHz switchable",
       .bind = &ug_filter_1pole::pitch_},
      {.at = PN_OUTPUT, .name = "Output", .direction = DR_OUT, .defaultText = "0", .bind = &ug_filter_1pole::out_},
      {.at = PN_FREQ_SCALE,
       .name = "Freq Scale",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1 Volt/Octave, 1 Volt/kHz ",
       .hint = "Switches between 1 Volt per Octave or 1 Volt per kHz response.",
       .bind = &ug_filter_1pole::freqScale_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_filter_1pole::Open() {
  if (!tuning_ || tuning_->SampleRate() != SampleRate())
    tuning_ = std::make_shared<const kr::dsp::OnePoleTuning>(SampleRate());
  ug_base::Open();
  StartAfresh();
}

void ug_filter_1pole::StartAfresh() {
  state_ = {};
  a_ = tuning_->Coefficient(ValueNow(PN_PITCH), VoltsPerKHz());
  ChooseProcess();
}

void ug_filter_1pole::OnPlugStateChange(int time, connector* c, PlugState) {
  a_ = tuning_->Coefficient(ValueNow(PN_PITCH), VoltsPerKHz());
  ChooseProcess();
  if (InputIndex(c) == PN_SIGNAL) SetOutputStates(time, ST_RUN);
  CheckNow(time);
}

void ug_filter_1pole::ChooseProcess() {
  const bool pitchRun = Streams(PN_PITCH);
  static constexpr auto kRenders = kr::RenderTable<4>(
      [](auto i) { return &ug_filter_1pole::Render<kr::Bit<1>(i), kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(HighPass(), pitchRun)]);
}

template <bool High, bool PitchRun>
void ug_filter_1pole::Render(int offset, int count) {
  const kr::dsp::OnePoleTuning& tuning = *tuning_;
  const bool khz = VoltsPerKHz();
  float a = a_;
  kr::dsp::OnePoleState s = state_;
  OnFlushGrid(
      offset, count,
      [&](int i) {
        if constexpr (PitchRun) a = tuning.Coefficient(pitch_[i], khz);
        const float x = signal_[i];
        const float y = kr::dsp::OnePoleStep(s, a, x);
        out_[i] = High ? x - y : y;
      },
      [&] { kr::dsp::OnePoleFlush(s); });
  state_ = s;
  a_ = a;
}

bool ug_filter_1pole::TrySettle() {
  if (!std::isfinite(state_.y)) state_ = {};
  if (Streams(PN_SIGNAL)) return false;
  const float x = ValueNow(PN_SIGNAL);
  if (!kr::dsp::OnePoleConverged(state_, a_, x)) return false;
  state_.y = x;
  return true;
}

void ug_filter_1pole::FillSteady(int offset, int count) {
  std::fill_n(out_ + offset, count, HighPass() ? 0.0f : state_.y);
}

}  // namespace kr
