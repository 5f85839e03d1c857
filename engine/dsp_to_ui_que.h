// The DSP-to-GUI message ring (10000 bytes), owned by the application,
// written on the audio thread and drained by the GUI pump. The writer never
// waits: a full ring sets the overflow flag, and from then on every message
// is dropped until the GUI has drained the ring once, which also discards
// what was queued before the overflow. Readers only ever see whole messages.
#pragma once

#include <atomic>

#include "base/lock_free_fifo.h"

namespace kr {

class dsp_to_ui_que final : public lock_free_fifo {
 public:
  static constexpr int kSize = 10000;

  dsp_to_ui_que();

  // Writer side.
  void MessageComplete() override;
  void QueueFull() override;

  bool Overflowed() const { return overflow_.load(std::memory_order_acquire); }
  // Reader side: after an overflow, drops what is queued; then clears the flag.
  void FinishDrain();

 private:
  std::atomic<bool> overflow_{false};
};

}  // namespace kr
