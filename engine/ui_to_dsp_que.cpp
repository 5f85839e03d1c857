#include "engine/ui_to_dsp_que.h"

#include "engine/audio_master.h"

namespace kr {

namespace {
FifoWaitPolicy GuiToDspPolicy() {
  FifoWaitPolicy policy;
  policy.commitWholeMessages = true;
  policy.readWaits = 0;  // the audio thread only ever sees whole messages: never wait
  return policy;
}
}  // namespace

ui_to_dsp_que::ui_to_dsp_que(KrAudioMaster& master, int size)
    : lock_free_fifo(size > kSize ? size : kSize, GuiToDspPolicy()), master_(master) {}

void ui_to_dsp_que::MessageComplete() {
  Commit();
  master_.RequestDispatch();
}

void ui_to_dsp_que::QueueFull() {
  master_.deferToAudio.store(false, std::memory_order_release);
  master_.DispatchOneGuiMessage();
}

}  // namespace kr
