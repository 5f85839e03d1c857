// The audio master's side of the GUI-to-DSP queue, notifications, host time
// and the small DSP-to-GUI senders.
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/audio_master.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "engine/ug_base.h"
#include "platform/platform.h"

namespace kr {

namespace {

// The module reference of a "noti" message: pointer-sized, so it survives
// 64-bit builds (one 32-bit word on the 32-bit target).
constexpr int kReferenceWords = sizeof(void*) / 4;

void WriteReference(my_output_stream& out, const void* pointer) {
  auto bits = reinterpret_cast<std::uintptr_t>(pointer);
  for (int i = 0; i < kReferenceWords; ++i) {
    out << static_cast<std::int32_t>(static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
    if constexpr (sizeof(bits) > 4) bits >>= 16, bits >>= 16;
  }
}

void* ReadReference(my_input_stream& in) {
  std::uintptr_t bits = 0;
  for (int i = 0; i < kReferenceWords; ++i) {
    const auto word = static_cast<std::uint32_t>(in.ReadInt());
    bits |= static_cast<std::uintptr_t>(word) << (32 * i);
  }
  return reinterpret_cast<void*>(bits);
}

}  // namespace

bool KrAudioMaster::OnAudioThread() const {
  return inProcess_.load(std::memory_order_acquire) &&
         audioThread_.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

void KrAudioMaster::RequestDispatch() {
  if (running.load(std::memory_order_acquire) && deferToAudio.load(std::memory_order_acquire)) {
    pumpRequested.store(true, std::memory_order_release);
    attention.store(true, std::memory_order_release);
    return;
  }
  if (directAllowed.load(std::memory_order_acquire)) DispatchDirect(false);
}

bool KrAudioMaster::DispatchDirect(bool oneOnly) {
  if (OnAudioThread()) {
    // Posted from inside a block: the audio thread is the reader anyway.
    oneOnly ? DispatchOne() : DispatchGuiMessages();
    return true;
  }
  if (directDepth_) return false;  // the dispatch loop below picks it up
  guiDispatching_.store(true);
  if (inProcess_.load()) {
    // A block is running: leave the messages to the audio thread.
    guiDispatching_.store(false);
    pumpRequested.store(true, std::memory_order_release);
    attention.store(true, std::memory_order_release);
    return false;
  }
  directDepth_ = true;
  oneOnly ? DispatchOne() : DispatchGuiMessages();
  directDepth_ = false;
  guiDispatching_.store(false, std::memory_order_release);
  return true;
}

void KrAudioMaster::DispatchOneGuiMessage() { DispatchDirect(true); }

void KrAudioMaster::DispatchGuiMessages() {
  while (!guiToDsp.IsEmpty()) DispatchOne();
}

void KrAudioMaster::DispatchOne() {
  if (guiToDsp.IsEmpty()) return;
  my_msg_que_input_stream in(guiToDsp);
  const std::int32_t targetHandle = in.ReadInt();
  auto it = targets.find(targetHandle);
  if (it == targets.end() || it->second == nullptr) {
    // Messages carry no length, so nothing after an unknown receiver can be
    // parsed: drop what is queued rather than misread it.
    guiToDsp.SkipReadable();
    return;
  }
  const std::int32_t id = in.ReadInt();
  it->second->OnGuiMessage(id, in);
}

void KrAudioMaster::PostNotify(ug_base& module, int kind, int value) {
  if (OnAudioThread()) {
    // Already on the audio thread: no need to go round the queue.
    module.AddEvent(module.NewEvent(now, UET_UI_NOTIFY, kind, nullptr, value), true);
    return;
  }
  // Addressed to the audio master itself, which always has a target entry;
  // the body names the module.
  my_msg_que_output_stream out(guiToDsp, handle, kMsgNotify);
  out << static_cast<std::int32_t>(platform::MilliSeconds()) << std::int32_t{0};
  WriteReference(out, &module);
  out << static_cast<std::int32_t>(kind) << static_cast<std::int32_t>(value);
  out.Send();
}

void KrAudioMaster::OnGuiMessage(std::int32_t id, my_input_stream& stream) {
  if (id == kMsgNotify) HandleNotify(stream);
}

void KrAudioMaster::HandleNotify(my_input_stream& stream) {
  stream.ReadInt();  // millisecond time
  stream.ReadInt();  // unused
  auto* module = static_cast<ug_base*>(ReadReference(stream));
  const std::int32_t kind = stream.ReadInt();
  const std::int32_t value = stream.ReadInt();
  if (module == nullptr) return;
  if (!running.load(std::memory_order_acquire)) {
    module->OnUiNotify(kind, value);
    return;
  }
  module->AddEvent(module->NewEvent(now, UET_UI_NOTIFY, kind, nullptr, value), true);
}

void KrAudioMaster::RegisterTarget(std::int32_t targetHandle, dsp_msg_target* target) { targets[targetHandle] = target; }

void KrAudioMaster::UnregisterTarget(std::int32_t targetHandle) { targets.erase(targetHandle); }

std::optional<vst::VstTimeInfo> KrAudioMaster::GetTimeInfo(std::int32_t filter) {
  const vst::VstTimeInfo* info = host_.GetHostTime(filter | vst::kVstPpqPosValid | vst::kVstBarsValid);
  if (info == nullptr) return std::nullopt;
  std::memcpy(&timeInfo, info, sizeof(timeInfo));
  const int g = periodStart - blockStart;
  timeInfo.samplePos += g;
  if ((filter & vst::kVstPpqPosValid) != 0) {
    const double h = timeInfo.tempo * 24.0 / (SampleRate() * 60.0);  // MIDI clocks per sample
    const double clocks = timeInfo.ppqPos * 24.0 + g * h;
    timeInfo.ppqPos = clocks / 24.0;
    if ((filter & vst::kVstBarsValid) != 0) timeInfo.barStartPos = std::floor(timeInfo.ppqPos);
    // A host with no tempo (or a zero rate) gives no clock distance rather than a division by zero.
    double toNext = 0.0;
    if (std::isfinite(h) && h > 0.0 && std::isfinite(clocks)) toNext = (std::floor(clocks) - clocks) / h;
    constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
    timeInfo.samplesToNextClock =
        std::isfinite(toNext) && std::fabs(toNext) < kLimit ? static_cast<std::int32_t>(toNext) : 0;
    timeInfo.flags |= vst::kVstPpqPosValid;
  }
  return timeInfo;
}

void KrAudioMaster::RequestParameterRefresh() {
  paramRefresh.store(true, std::memory_order_release);
  attention.store(true, std::memory_order_release);
}

void KrAudioMaster::MessageBox(std::string_view text, std::int32_t style) { host_.PostMessageBox(text, style); }

void KrAudioMaster::PostRefresh(ug_base& module) { host_.PostRefresh(module); }

void KrAudioMaster::DeferralHeartbeat(ug_base& module) {
  KrAudioMaster* master = module.audioMaster;
  if (master == nullptr) return;
  master->deferToAudio.store(true, std::memory_order_release);
  const int quarter = static_cast<int>(master->SampleRate() / 4.0);
  module.QueueCall(module.clock + (quarter > 0 ? quarter : 1), &KrAudioMaster::DeferralHeartbeat);
}

}  // namespace kr
