#include "modules/filter/filter_ladder.h"

#include <algorithm>
#include <cmath>

#include "modules/render_table.h"

std::unique_ptr<ug_base> ug_filter_biquad::CreateSame() { return std::make_unique<ug_filter_biquad>(); }

std::unique_ptr<ug_base> ug_filter_biquad::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_filter_biquad&>(*copy).tuning_ = tuning_;
  return copy;
}

void ug_filter_biquad::ListPlugs(InterfaceList& list, bool showExtras) {
  const std::uint32_t hidden = showExtras ? 0u : PF_HIDDEN;
  list.emplace_back(nullptr, nullptr, "Signal", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "", &signal_);
  list.emplace_back(nullptr, nullptr, "Pitch", DR_IN, DT_AUDIO, "5", "", PF_CONTROL,
                    "Controls the Filter's 'Cutoff'. 1 Volt per Octave or 1 Volt / kHz switchable", &pitch_);
  list.emplace_back(nullptr, nullptr, "Resonance", DR_IN, DT_AUDIO, "5", "", PF_CONTROL,
                    "Emphasises the Cutoff frequency", &resonance_);
  list.emplace_back(nullptr, nullptr, "Output", DR_OUT, DT_AUDIO, "0", "", 0, "", &out_);
  list.emplace_back(&mode_, &typeid(std::int16_t), "Mode", DR_IN, DT_ENUM, "0", "4 Pole LP", hidden,
                    "Not used at present");
  list.emplace_back(nullptr, nullptr, "Boost/Cut", DR_IN, DT_AUDIO, "0", "10,-10,10,-10", hidden | PF_CONTROL,
                    "For Parametric Filters, +ve = boost, -ve = cut. NOT USED AT PRESENT", &boost_);
  list.emplace_back(&freqScale_, &typeid(std::int16_t), "Freq Scale", DR_PARAMETER, DT_ENUM, "0",
                    "1 Volt/Octave, 1 Volt/kHz ", 0, "Switches between 1 Volt per Octave or 1 Volt per kHz response.");
}

void ug_filter_biquad::ListInterface(InterfaceList& list) { ListPlugs(list, false); }

void ug_filter_biquad::Open() {
  if (!tuning_ || tuning_->SampleRate() != SampleRate())
    tuning_ = std::make_shared<const kr::dsp::LadderTuning>(SampleRate());
  ug_base::Open();
  StartAfresh();
}

void ug_filter_biquad::StartAfresh() {
  state_ = {};
  UpdateCoefficients();
  ChooseProcess();
  ScheduleCheck(clock + kFirstCheckDelay);
}

void ug_filter_biquad::UpdateCoefficients() {
  coefs_ = tuning_->Coefficients(ValueNow(PN_PITCH), ValueNow(PN_RESONANCE), VoltsPerKHz());
}

void ug_filter_biquad::OnPlugStateChange(int time, connector* c, PlugState) {
  UpdateCoefficients();
  ChooseProcess();
  if (InputIndex(c) == PN_SIGNAL) SetOutputStates(time, ST_RUN);
  if (Settled()) Unsettle(time);
  ScheduleCheck(time + kFirstCheckDelay);
}

void ug_filter_biquad::ChooseProcess() {
  static constexpr auto kRenders =
      kr::RenderTable<2>([](auto i) { return &ug_filter_biquad::Render<kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(Streams(PN_PITCH) || Streams(PN_RESONANCE))]);
}

template <bool CoefRun>
void ug_filter_biquad::Render(int offset, int count) {
  const kr::dsp::LadderTuning& tuning = *tuning_;
  const bool khz = VoltsPerKHz();
  kr::dsp::LadderCoefficients c = coefs_;
  kr::dsp::LadderState s = state_;
  OnFlushGrid(
      offset, count,
      [&](int i) {
        if constexpr (CoefRun) c = tuning.Coefficients(pitch_[i], resonance_[i], khz);
        out_[i] = kr::dsp::LadderStep(s, c, signal_[i]);
      },
      [&] { kr::dsp::LadderFlush(s); });
  state_ = s;
  coefs_ = c;
}

int ug_filter_biquad::RecheckDelay() { return Streams(PN_SIGNAL) ? SamplesPerSecond() : 4 * BlockLength(); }

bool ug_filter_biquad::TrySettle() {
  kr::dsp::LadderState& s = state_;
  for (float* v : {&s.uPrev, &s.y1, &s.y2, &s.y3, &s.y4}) {
    if (!std::isfinite(*v)) {
      s = {};
      break;
    }
  }
  if (Streams(PN_SIGNAL)) return false;
  if (std::fabs(s.uPrev) < kSmall) {
    s.uPrev = 0.0f;
    const bool zeroed = std::fabs(s.y4) < kSmall && s.y4 != 0.0f && ValueNow(PN_SIGNAL) == 0.0f;
    if (zeroed) s.y4 = 0.0f;
    for (float* v : {&s.y1, &s.y2, &s.y3})
      if (std::fabs(*v) < kSmall) *v = 0.0f;
    if (zeroed) return false;
  }
  // Settled when the whole last period of the output is one value.
  const int length = BlockLength();
  const float first = out_[0];
  for (int i = 1; i < length; ++i)
    if (out_[i] != first) return false;
  steady_ = first;
  return true;
}

void ug_filter_biquad::FillSteady(int offset, int count) { std::fill_n(out_ + offset, count, steady_); }
