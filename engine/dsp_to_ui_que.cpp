#include "engine/dsp_to_ui_que.h"

namespace kr {

namespace {
FifoWaitPolicy DspToGuiPolicy() {
  FifoWaitPolicy policy;
  policy.commitWholeMessages = true;
  policy.writeWaits = 0;  // the audio thread must not wait for the GUI
  policy.readWaits = 0;   // whole messages only: nothing to wait for
  return policy;
}
}  // namespace

dsp_to_ui_que::dsp_to_ui_que() : lock_free_fifo(kSize, DspToGuiPolicy()) {}

void dsp_to_ui_que::QueueFull() { overflow_.store(true, std::memory_order_release); }

void dsp_to_ui_que::MessageComplete() {
  if (overflow_.load(std::memory_order_acquire)) DropPending();
  Commit();
}

void dsp_to_ui_que::FinishDrain() {
  if (!overflow_.load(std::memory_order_acquire)) return;
  SkipReadable();
  overflow_.store(false, std::memory_order_release);
}

}  // namespace kr
