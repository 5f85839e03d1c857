#include "modules/logic/sample_hold.h"

#include "modules/signal_helpers.h"

void ug_sample_hold::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Audio", DR_IN, DT_AUDIO, "8", "", PF_SIGNAL, "", &audio_);
  list.emplace_back(nullptr, nullptr, "Hold", DR_IN, DT_AUDIO, "8", "", 0, "Freezes input signal on leading edge", &hold_);
  list.emplace_back(nullptr, nullptr, "Output", DR_OUT, DT_AUDIO, "0", "", 0, "", &out_);
}

void ug_sample_hold::Open() {
  held_ = 0.0f;
  armed_ = true;
  SetProcessFunction(&ug_sample_hold::Settle);
  ug_base::Open();
}

void ug_sample_hold::OnPlugStateChange(int time, connector* c, PlugState state) {
  // Only "Hold" moves the output; a change of "Audio" alone changes nothing held.
  if (c == nullptr || c->to != GetPlug(PN_HOLD)) return;
  GetPlug(PN_OUT)->SetState(time, state == ST_RUN ? ST_RUN : ST_STATIC);
  if (state == ST_RUN) {
    SetProcessFunction(&ug_sample_hold::Track);
    return;
  }
  Step(kr::SampleAt(*this, audio_, time), kr::SampleAt(*this, hold_, time));
  StartSettling(&ug_sample_hold::Settle);
}

void ug_sample_hold::Track(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    Step(audio_[i], hold_[i]);
    out_[i] = held_;
  }
}

void ug_sample_hold::Settle(int offset, int count) { kr::SettleFill(*this, out_, held_, offset, count); }
