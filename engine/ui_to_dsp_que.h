// The GUI-to-DSP message ring (4096 bytes or more), owned by the audio master.
// Messages become visible to the reader only when complete, so the audio
// thread never waits for a half-written message.
#pragma once

#include "base/lock_free_fifo.h"

namespace kr {

class KrAudioMaster;

class ui_to_dsp_que final : public lock_free_fifo {
 public:
  static constexpr int kSize = 4096;

  // size: bytes, at least kSize (a patch switch sends one message per patch
  // parameter, all of which must fit).
  explicit ui_to_dsp_que(KrAudioMaster& master, int size = kSize);

  // Publishes the finished message and asks the audio master to dispatch it.
  void MessageComplete() override;
  // Stops deferring and dispatches the oldest message on the writing thread.
  void QueueFull() override;

 private:
  KrAudioMaster& master_;
};

}  // namespace kr
