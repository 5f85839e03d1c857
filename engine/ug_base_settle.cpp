// Settling and sleeping: the sleep check and the generic hold ramp.
#include <algorithm>

#include "engine/audio_master.h"
#include "engine/ug_base.h"

namespace kr {

void ug_base::SleepCheck(int offset, int count) {
  if (CanSleep() && !sleeping) GoToSleep();
}

void ug_base::GoToSleep() {
  if (audioMaster != nullptr) audioMaster->Remove(this);
  sleeping = true;
}

void ug_base::StartHold() {
  savedProcess = process;
  StartSettling(&ug_base::HoldStarter);
}

void ug_base::HoldStarter(int offset, int count) {
  if (savedProcess != nullptr) (this->*savedProcess)(offset, 1);
  SetProcessFunction(&ug_base::Hold);
  if (count > 1) Hold(offset + 1, count - 1);
}

// Every position of the period ends up holding the final value.
void ug_base::Hold(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) { HoldOutputs(at, n); });
}

void ug_base::HoldOutputs(int offset, int count) {
  if (count <= 0) return;
  const int length = BlockLength();
  for (auto& plug : plugs) {
    if (plug->type != DT_AUDIO || plug->direction != DR_OUT) continue;
    float* samples = plug->GetSampleBuffer();
    const float latest = samples[offset > 0 ? offset - 1 : length - 1];
    std::fill_n(samples + offset, count, latest);
  }
}

}  // namespace kr
