#include "modules/filter/filter_base.h"

#include "engine/audio_master.h"
#include "engine/event_pool.h"

namespace kr {

double ug_filter_base::SampleRate() const {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  return rate > 0.0 ? rate : 44100.0;
}

int ug_filter_base::SamplesPerSecond() const {
  const double rate = SampleRate();
  return rate < 1.0e7 ? std::max(1, static_cast<int>(rate)) : 10000000;
}

int ug_filter_base::InputIndex(const connector* c) const {
  if (c == nullptr) return -1;
  for (std::size_t i = 0; i < plugs.size(); ++i)
    if (plugs[i].get() == c->to) return static_cast<int>(i);
  return -1;
}

void ug_filter_base::SetOutputStates(int time, PlugState state) {
  for (auto& plug : plugs)
    if (plug->direction == DR_OUT) plug->SetState(time, state);
}

void ug_filter_base::CheckNow(int time) {
  if (TrySettle()) {
    CancelCheck();
    settled_ = true;
    StartSettling(&ug_filter_base::SettledOutput);
    return;
  }
  Unsettle(time);
  ScheduleCheck(time + RecheckDelay());
}

void ug_filter_base::Unsettle(int time) {
  if (!settled_) return;
  settled_ = false;
  SetOutputStates(time, ST_RUN);
  ChooseProcess();
}

void ug_filter_base::ScheduleCheck(int time) {
  if (checkPending_) return;
  // A full event pool drops the event: then no check is pending, and the
  // next state change tries again.
  ug_event* event = NewEvent(time, UET_CALL);
  if (event == nullptr) return;
  event->call = &ug_filter_base::QueuedCheck;
  AddEvent(event, true);
  checkPending_ = true;
}

void ug_filter_base::CancelCheck() {
  if (!checkPending_) return;
  checkPending_ = false;
  for (ug_event* e = events.front(); e != nullptr; e = e->next) {
    if (e->type == UET_CALL && e->call == &ug_filter_base::QueuedCheck) {
      events.Unlink(e);
      EventPool::Free(e);
      return;
    }
  }
}

void ug_filter_base::QueuedCheck(ug_base& module) {
  auto& filter = static_cast<ug_filter_base&>(module);
  filter.checkPending_ = false;
  filter.CheckNow(filter.clock);
}

void ug_filter_base::VoiceResumed(int time) { QueueCall(time, &ug_filter_base::Restart); }

void ug_filter_base::Restart(ug_base& module) {
  auto& filter = static_cast<ug_filter_base&>(module);
  filter.CancelCheck();
  filter.Unsettle(filter.clock);
  filter.StartAfresh();
}

void ug_filter_base::SettledOutput(int offset, int count) {
  // Once every position of the period holds the steady value the outputs
  // stop and the filter sleeps.
  SettleStep(offset, count, [this](int at, int n) { FillSteady(at, n); },
             [this](int n) { SetOutputStates(clock + n, ST_STOP); });
}

}  // namespace kr
