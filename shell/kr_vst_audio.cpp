// The audio side of the effect object: host blocks with their MIDI, the
// outgoing MIDI, and the engine hand-over in suspend and resume.
#include "shell/kr_vst.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <exception>

#include "platform/platform.h"

namespace kr {

using namespace vst;

namespace {

bool ValidRate(float rate) { return std::isfinite(rate) && rate > 0.0f; }

void ClearOutputs(float** outputs, VstInt32 channels, VstInt32 frames) {
  if (outputs == nullptr) return;
  for (VstInt32 c = 0; c < channels; ++c)
    if (outputs[c] != nullptr) std::fill_n(outputs[c], frames, 0.0f);
}

}  // namespace

void KrVst::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
  replacing.store(false, std::memory_order_release);
  RunHostBlock(inputs, outputs, sampleFrames, false);
}

void KrVst::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  RunHostBlock(inputs, outputs, sampleFrames, true);
}

void KrVst::RunHostBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacingCall) {
  inProcess.store(true);
  // Cleared on every way out, or suspend would wait for ever.
  struct LeaveProcess {
    KrVst& vst;
    ~LeaveProcess() {
      vst.pendingEvents.store(nullptr, std::memory_order_release);  // valid for one block only
      vst.inProcess.store(false);
    }
  } leave{*this};
  if (sampleFrames <= 0) return;
  // Whatever a replacing host's buffers held must not be heard: when nothing
  // plays (suspended, the patch refused or failed) the block is silence.
  if (!running.load() || !app->SoundRunning() || audioFailed.load(std::memory_order_acquire)) {
    if (replacingCall) ClearOutputs(outputs, cEffect.numOutputs, sampleFrames);
    return;
  }
  kr::HostBlock block;
  block.inputs = inputs;
  block.inputCount = cEffect.numInputs;
  block.outputs = outputs;
  block.outputCount = cEffect.numOutputs;
  block.frames = sampleFrames;
  block.replacing = replacing.load(std::memory_order_acquire);
  block.midiIn = pendingEvents.load(std::memory_order_acquire);
  block.midiOut = &outRing;
  try {
    app->ProcessBlock(block);
  } catch (const std::exception& error) {
    RecordAudioFailure(error.what());
  } catch (...) {
    RecordAudioFailure("unknown error");
  }
  if (audioFailed.load(std::memory_order_relaxed)) {
    if (replacingCall) ClearOutputs(outputs, cEffect.numOutputs, sampleFrames);
    return;
  }
  // Channels no output module wrote are silence in a replacing call.
  if (replacingCall && outputs != nullptr)
    for (VstInt32 c = std::max(block.outputsWritten, 0); c < cEffect.numOutputs; ++c)
      if (outputs[c] != nullptr) std::fill_n(outputs[c], sampleFrames, 0.0f);
  CollectOutgoingMidi(block);
}

void KrVst::RecordAudioFailure(const char* what) {
  // No allocation here: the text is copied into storage the object owns.
  const std::size_t n = std::min(std::strlen(what), audioFailure.size() - 1);
  std::memcpy(audioFailure.data(), what, n);
  audioFailure[n] = '\0';
  audioFailed.store(true, std::memory_order_release);
}

void KrVst::CollectOutgoingMidi(const kr::HostBlock& block) {
  const int writePos = outRing.WritePosition();
  if (outReadPos == writePos) return;

  outEvents.Clear();  // the host has had last block's records long enough
  while (outReadPos != writePos) {
    const OutgoingMidiEntry& entry = outRing.At(outReadPos);
    const auto offset = static_cast<std::int32_t>(entry.time - block.startTime);
    if (offset >= block.frames) break;  // belongs to a later block
    outReadPos = (outReadPos + 1) % OutgoingMidiRing::kSize;
    outEvents.Add(offset, entry.message);
  }
  sendVstEventsToHost(outEvents.Header());
}

VstInt32 KrVst::processEvents(VstEvents* events) {
  pendingEvents.store(events, std::memory_order_release);
  return 1;
}

void KrVst::WaitForAudioThread() {
  running.store(false);
  while (inProcess.load()) platform::SleepMs(0);
}

void KrVst::suspend() {
  WaitForAudioThread();
  app->StopSound();
}

void KrVst::resume() {
  WaitForAudioThread();
  audioFailed.store(false, std::memory_order_release);
  audioFailureReported = false;
  app->SetSampleRate(getSampleRate());
  pendingEvents.store(nullptr, std::memory_order_release);
  if (topContainer != nullptr && topContainer->HasMidiInput()) wantEvents(1);
  // Whatever a stopped engine left in the ring is not sent.
  outReadPos = outRing.WritePosition();
  app->StartSound(getBlockSize());
  needIdle();
  replacing.store(true, std::memory_order_release);
  running.store(true);
}

void KrVst::setSampleRate(float rate) {
  if (!ValidRate(rate) || rate == sampleRate) return;
  sampleRate = rate;
  if (running.load()) {
    suspend();
    resume();
  }
}

void KrVst::setBlockSize(VstInt32 size) {
  if (size > 0) blockSize = size;  // the engine derives its sub-block length from it
}

bool KrVst::setBlockSizeAndSampleRate(VstInt32 size, float rate) {
  if (size > 0) blockSize = size;
  if (ValidRate(rate)) sampleRate = rate;
  return true;
}

}  // namespace kr
