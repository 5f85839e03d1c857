#include <cmath>

#include "engine/audio_master.h"
#include "modules/math/single_input.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_peak_det::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_peak_det> kPlugs[] = {
      {.name = "Signal in", .defaultText = "0", .flags = PF_SIGNAL, .hint = "Input signal", .bind = &ug_peak_det::in_},
      {.name = "Attack",
       .defaultText = "8",
       .hint = "Rate at which current_level rises to track input level",
       .bind = &ug_peak_det::attack_},
      {.name = "Decay",
       .defaultText = "7",
       .hint = "Rate at which current_level falls to track input level",
       .bind = &ug_peak_det::decay_},
      {.name = "Signal Out", .direction = DR_OUT, .hint = "current_level Signal", .bind = &ug_peak_det::out_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_peak_det::Open() {
  rate_ = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  settled_ = false;
  SetProcessFunction(&ug_peak_det::Render<false>);
  ug_base::Open();
  ChooseProcess(clock);
  GetPlug(PN_OUT)->SetState(clock, ST_RUN);
}

void ug_peak_det::OnPlugStateChange(int time, connector*, PlugState) {
  if (settled_) {
    settled_ = false;
    GetPlug(PN_OUT)->SetState(time, ST_RUN);
  }
  ChooseProcess(time);
}

void ug_peak_det::ChooseProcess(int time) {
  const bool ratesRun = GetPlug(PN_ATTACK)->state == ST_RUN || GetPlug(PN_DECAY)->state == ST_RUN;
  attackCoefficient_ = kr::dsp::FollowerCoefficient(rate_, kr::SampleAt(*this, attack_, time));
  decayCoefficient_ = kr::dsp::FollowerCoefficient(rate_, kr::SampleAt(*this, decay_, time));
  if (ratesRun) {
    SetProcessFunction(&ug_peak_det::Render<true>);
  } else if (GetPlug(PN_IN)->state == ST_RUN) {
    SetProcessFunction(&ug_peak_det::Render<false>);
  } else {
    SetProcessFunction(&ug_peak_det::Converge);
  }
}

template <bool RatesRun>
void ug_peak_det::Render(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    if constexpr (RatesRun) {
      attackCoefficient_ = kr::dsp::FollowerCoefficient(rate_, attack_[i]);
      decayCoefficient_ = kr::dsp::FollowerCoefficient(rate_, decay_[i]);
    }
    out_[i] = follower_.Tick(in_[i], attackCoefficient_, decayCoefficient_);
  }
}

// Everything settled: follow until the level stops moving (in single
// precision it may come to rest a few steps short of the input), then hold
// it for a period and sleep.
void ug_peak_det::Converge(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    const float before = follower_.level;
    out_[i] = follower_.Tick(in_[i], attackCoefficient_, decayCoefficient_);
    if (follower_.level != before) continue;
    settled_ = true;
    GetPlug(PN_OUT)->SetState(clock + (i - offset), ST_STATIC);
    StartSettling(&ug_peak_det::Settle);
    Settle(i + 1, offset + count - i - 1);
    return;
  }
}

void ug_peak_det::Settle(int offset, int count) { kr::SettleFill(*this, out_, follower_.level, offset, count); }

}  // namespace kr
