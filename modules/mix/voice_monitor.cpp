#include "modules/mix/voice_monitor.h"

namespace kr {

void ug_voice_monitor::Open() {
  ug_adder::Open();
  SetProcessFunction(&ug_base::DoNothing);
  running_ = true;
  countdown_ = BlockLength();
  QueueCall(clock + 4, &ug_voice_monitor::Check);
}

void ug_voice_monitor::Check(ug_base& module) {
  auto& self = static_cast<ug_voice_monitor&>(module);
  self.countdown_ = self.BlockLength();
  self.running_ = false;
  UPlug* in = self.GetPlug(1);
  for (connector* c : in->connections)
    if (c->to == in && c->from != nullptr && c->from->state == ST_RUN) self.running_ = true;
}

void ug_voice_monitor::OnPlugStateChange(int /*time*/, connector* /*c*/, PlugState /*state*/) { Check(*this); }

void ug_voice_monitor::RunFor(int count) {
  ug_base::RunFor(count);
  if (running_ || voice_ == nullptr) return;
  countdown_ -= count;
  // releaseTime is the largest value while held, so a held note never passes.
  if (voice_->releaseTime >= clock - kReleaseGrace || countdown_ >= 0) return;
  ug_base* receiver = voice_->noteReceiver;
  if (receiver == nullptr || voice_->suspended) return;
  receiver->AddEvent(receiver->NewEvent(clock, UET_SUSPEND, 0, voice_), true);
}

}  // namespace kr
