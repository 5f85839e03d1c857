#include "modules/filter/filter_ladder.h"

#include <algorithm>
#include <cmath>

#include "modules/render_table.h"
#include "registry/plug_declaration.h"

namespace kr {

std::unique_ptr<ug_base> ug_filter_biquad::CreateSame() { return std::make_unique<ug_filter_biquad>(); }

std::unique_ptr<ug_base> ug_filter_biquad::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_filter_biquad&>(*copy).tuning_ = tuning_;
  return copy;
}

void ug_filter_biquad::ListPlugs(InterfaceList& list, bool showExtras) {
  const std::uint32_t hidden = showExtras ? 0u : PF_HIDDEN;
  ListPlug(list, *this,
           PlugDecl<ug_filter_biquad>{
               .at = PN_SIGNAL, .name = "Signal", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_filter_biquad::signal_});
  ListPlug(
      list, *this,
      PlugDecl<ug_filter_biquad>{.at = PN_PITCH, .name = "Pitch",
                                 .defaultText = "5",
                                 .flags = PF_CONTROL,
                                 .hint = "Controls the Filter's 'Cutoff'. 1 Volt per Octave or 1 Volt / kHz switchable",
                                 .bind = &ug_filter_biquad::pitch_});
  ListPlug(list, *this,
           PlugDecl<ug_filter_biquad>{.at = PN_RESONANCE, .name = "Resonance",
                                      .defaultText = "5",
                                      .flags = PF_CONTROL,
                                      .hint = "Emphasises the Cutoff frequency",
                                      .bind = &ug_filter_biquad::resonance_});
  ListPlug(list, *this,
           PlugDecl<ug_filter_biquad>{
               .at = PN_OUTPUT, .name = "Output", .direction = DR_OUT, .defaultText = "0", .bind = &ug_filter_biquad::out_});
  ListPlug(list, *this,
           PlugDecl<ug_filter_biquad>{.at = PN_MODE, .name = "Mode",
                                      .type = DT_ENUM,
                                      .defaultText = "0",
                                      .list = "4 Pole LP",
                                      .flags = hidden,
                                      .hint = "Not used at present",
                                      .bind = &ug_filter_biquad::mode_});
  ListPlug(list, *this,
           PlugDecl<ug_filter_biquad>{.at = PN_BOOST_CUT, .name = "Boost/Cut",
                                      .defaultText = "0",
                                      .list = "10,-10,10,-10",
                                      .flags = hidden | PF_CONTROL,
                                      .hint = "For Parametric Filters, +ve = boost, -ve = cut. NOT USED AT PRESENT",
                                      .bind = &ug_filter_biquad::boost_});
  ListPlug(list, *this,
           PlugDecl<ug_filter_biquad>{.at = PN_FREQ_SCALE, .name = "Freq Scale",
                                      .direction = DR_PARAMETER,
                                      .type = DT_ENUM,
                                      .defaultText = "0",
                                      .list = "1 Volt/Octave, 1 Volt/kHz ",
                                      .hint = "Switches between 1 Volt per Octave or 1 Volt per kHz response.",
                                      .bind = &ug_filter_biquad::freqScale_});
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

}  // namespace kr
