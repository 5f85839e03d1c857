#include <cmath>

#include "engine/audio_master.h"
#include "modules/math/single_input.h"
#include "modules/signal_helpers.h"

void ug_peak_det::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Signal in", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "Input signal", &in_);
  list.emplace_back(nullptr, nullptr, "Attack", DR_IN, DT_AUDIO, "8", "", 0,
                    "Rate at which current_level rises to track input level", &attack_);
  list.emplace_back(nullptr, nullptr, "Decay", DR_IN, DT_AUDIO, "7", "", 0,
                    "Rate at which current_level falls to track input level", &decay_);
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO, "", "", 0, "current_level Signal", &out_);
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
