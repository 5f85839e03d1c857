#include "modules/filter/filter_sv.h"

#include <algorithm>
#include <cmath>

#include "modules/render_table.h"
#include "registry/plug_declaration.h"

namespace kr {

using kr::dsp::SvState;

std::unique_ptr<ug_base> ug_filter_sv::CreateSame() { return std::make_unique<ug_filter_sv>(); }

std::unique_ptr<ug_base> ug_filter_sv::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_filter_sv&>(*copy).tuning_ = tuning_;
  return copy;
}

void ug_filter_sv::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_filter_sv> kPlugs[] = {
      {.at = PN_SIGNAL, .name = "Signal", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_filter_sv::signal_},
      {.at = PN_PITCH,
       .name = "Pitch",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Controls the Filter's 'Cutoff'. 1 Volt per Octave",
       .bind = &ug_filter_sv::pitch_},
      {.at = PN_RESONANCE,
       .name = "Resonance",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Emphasises the Cutoff frequency",
       .bind = &ug_filter_sv::resonance_},
      {.at = PN_LOW_PASS, .name = "Low Pass", .direction = DR_OUT, .defaultText = "0", .bind = &ug_filter_sv::low_},
      {.at = PN_HI_PASS, .name = "Hi Pass", .direction = DR_OUT, .defaultText = "0", .bind = &ug_filter_sv::high_},
      {.at = PN_BAND_PASS, .name = "Band Pass", .direction = DR_OUT, .defaultText = "0", .bind = &ug_filter_sv::band_},
      {.at = PN_BAND_REJECT,
       .name = "Band Reject",
       .direction = DR_OUT,
       .defaultText = "0",
       .bind = &ug_filter_sv::reject_},
      {.at = PN_FREQ_SCALE,
       .name = "Freq Scale",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1 Volt/Octave, 1 Volt/kHz ",
       .hint = "Switches between 1 Volt per Octave or 1 Volt per kHz response.",
       .bind = &ug_filter_sv::freqScale_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_filter_sv::Open() {
  if (!tuning_ || tuning_->SampleRate() != SampleRate()) tuning_ = std::make_shared<const kr::dsp::SvTuning>(SampleRate());
  ug_base::Open();
  StartAfresh();
}

void ug_filter_sv::StartAfresh() {
  groupsActive_ = false;
  state_ = {};
  UpdateCoefficients();
  ChooseProcess();
  QueueCall(clock, &ug_filter_sv::SeedState);
}

void ug_filter_sv::SeedState(ug_base& module) {
  auto& filter = static_cast<ug_filter_sv&>(module);
  // A filter that starts on a constant input starts settled on it.
  if (filter.Streams(PN_SIGNAL)) return;
  filter.Materialize();
  filter.state_.lp = filter.ValueNow(PN_SIGNAL);
  filter.ChooseProcess();
  filter.CheckNow(filter.clock);
}

void ug_filter_sv::UpdateCoefficients() {
  const float pitch = ValueNow(PN_PITCH);
  coefs_ = tuning_->Coefficients(pitch, ValueNow(PN_RESONANCE), VoltsPerKHz());
  frequency_ = tuning_->Frequency(pitch, VoltsPerKHz());
}

void ug_filter_sv::Materialize() {
  if (!groupsActive_) return;
  state_ = groups_.Current();
  groupsActive_ = false;
}

void ug_filter_sv::OnPlugStateChange(int time, connector* c, PlugState) {
  Materialize();
  UpdateCoefficients();
  ChooseProcess();
  if (InputIndex(c) == PN_SIGNAL) SetOutputStates(time, ST_RUN);
  CheckNow(time);
}

void ug_filter_sv::ChooseProcess() {
  Materialize();
  const bool pitchRun = Streams(PN_PITCH);
  const bool lowWired = GetPlug(PN_LOW_PASS)->HasConnection();
  const bool highWired = GetPlug(PN_HI_PASS)->HasConnection();
  const bool othersWired = GetPlug(PN_BAND_PASS)->HasConnection() || GetPlug(PN_BAND_REJECT)->HasConnection();
  const bool resRun = Streams(PN_RESONANCE);
  const bool lowOnly = lowWired && !highWired && !othersWired;
  const bool highOnly = highWired && !lowWired && !othersWired;
  if (lowOnly && !pitchRun && !resRun) {
    // Fixed coefficients and one output: the grouped low-pass kernel.
    groups_.SetCoefficients(coefs_.f, coefs_.q);
    groups_.Start(state_, clock);
    groupsActive_ = true;
    SetProcessFunction(&ug_filter_sv::RenderLowGroups);
    return;
  }
  // Index: low only, high only, pitch and resonance streaming. A streaming
  // resonance renders every output, as does a high pass whose pitch streams.
  static constexpr auto kRenders = kr::RenderTable<16>([](auto i) {
    constexpr bool pitch = kr::Bit<1>(i), res = kr::Bit<0>(i);
    constexpr int which = res                                ? kAllOutputs
                          : kr::Bit<3>(i)                    ? kLowOnly
                          : kr::Bit<2>(i) && !pitch          ? kHighOnly
                                                             : kAllOutputs;
    return &ug_filter_sv::Render<which, which == kLowOnly || pitch, res>;
  });
  SetProcessFunction(kRenders[kr::RunBits(lowOnly, highOnly, pitchRun, resRun)]);
}

template <int Which, bool PitchRun, bool ResRun>
void ug_filter_sv::Render(int offset, int count) {
  const kr::dsp::SvTuning& tuning = *tuning_;
  const bool khz = VoltsPerKHz();
  const float* in = signal_;
  float f = coefs_.f;
  float q = coefs_.q;
  float limit = coefs_.limit;
  SvState s = state_;
  OnFlushGrid(
      offset, count,
      [&](int i) {
        if constexpr (ResRun) {
          kr::dsp::SvCoefficients c;
          tuning.SetResonance(resonance_[i], c);
          q = c.q;
          limit = c.limit;
          if constexpr (!PitchRun) f = std::min(frequency_, limit);
        }
        if constexpr (PitchRun) f = std::min(tuning.Frequency(pitch_[i], khz), limit);
        float hp;
        const float lp = kr::dsp::SvStep(s, f, q, in[i], hp);
        if constexpr (Which == kLowOnly) {
          low_[i] = lp;
        } else if constexpr (Which == kHighOnly) {
          high_[i] = hp;
        } else {
          low_[i] = lp;
          high_[i] = hp;
          band_[i] = s.bp;
          reject_[i] = hp + lp;
        }
      },
      [&] { kr::dsp::SvFlush(s); });
  state_ = s;
  coefs_.f = f;  // the settle check steps with the latest coefficients
  coefs_.q = q;
  coefs_.limit = limit;
}

void ug_filter_sv::RenderLowGroups(int offset, int count) {
  groups_.Run(signal_, low_, offset, count, clock);
}

bool ug_filter_sv::TrySettle() {
  const kr::dsp::SvState now = StateNow();
  if (!std::isfinite(now.lp) || !std::isfinite(now.bp)) {
    state_ = {};
    if (groupsActive_) groups_.Start(state_, clock);
  }
  if (Streams(PN_SIGNAL)) return false;
  const float x = ValueNow(PN_SIGNAL);
  if (!kr::dsp::SvConverged(StateNow(), coefs_.f, coefs_.q, x)) return false;
  groupsActive_ = false;
  state_.lp = x;
  state_.bp = 0.0f;
  return true;
}

void ug_filter_sv::FillSteady(int offset, int count) {
  std::fill_n(low_ + offset, count, state_.lp);
  std::fill_n(reject_ + offset, count, state_.lp);
  std::fill_n(high_ + offset, count, 0.0f);
  std::fill_n(band_ + offset, count, 0.0f);
}

}  // namespace kr
