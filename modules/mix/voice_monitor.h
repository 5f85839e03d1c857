// "VoiceMonitor": watches the outputs of one voice that leave the voice. Once
// the voice is released (more than 30 samples ago) and none of the watched
// outputs has streamed for a whole sub-block period, it asks the voice's
// note source to suspend the voice, which then costs nothing until its next
// note on.
#pragma once

#include "engine/voice_list.h"
#include "modules/mix/ug_adder.h"

namespace kr {

class ug_voice_monitor : public ug_adder, public VoiceWatcher {
 public:
  static constexpr int kReleaseGrace = 30;  // samples after the release

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_voice_monitor>(); }
  void Open() override;
  void RunFor(int count) override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void WatchVoice(Voice& voice) override { voice_ = &voice; }

  Voice* WatchedVoice() const { return voice_; }
  bool Running() const { return running_; }

 private:
  static void Check(ug_base& module);

  Voice* voice_ = nullptr;
  int countdown_ = 0;
  bool running_ = true;
};

// "Voice Combiner": an adder the marking passes stop at, so it is never
// per-voice and sums the voices of everything wired into it.
class ug_voice_combiner : public ug_adder {
 public:
  ug_voice_combiner() { flags |= UGF_NO_MARKING; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_voice_combiner>(); }
};

}  // namespace kr
