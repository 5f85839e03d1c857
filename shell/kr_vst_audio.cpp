// The audio side of the effect object: host blocks with their MIDI, the
// outgoing MIDI, and the engine hand-over in suspend and resume.
#include "shell/kr_vst.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/platform.h"

using namespace vst;

namespace {

// The event pointers of a host list, read without the fixed-size array bound.
VstEvent* const* EventSlots(const VstEvents* events) {
  return reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(events) + offsetof(VstEvents, events));
}

std::uint32_t MidiWord(const VstMidiEvent& e) {
  const auto byte = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(e.midiData[i])); };
  return byte(0) | (byte(1) << 8) | (byte(2) << 16);
}

bool ValidRate(float rate) { return std::isfinite(rate) && rate > 0.0f; }

void ClearOutputs(float** outputs, VstInt32 channels, VstInt32 frames) {
  if (outputs == nullptr) return;
  for (VstInt32 c = 0; c < channels; ++c)
    if (outputs[c] != nullptr) std::fill_n(outputs[c], frames, 0.0f);
}

}  // namespace

void KrVst::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
  replacing.store(false, std::memory_order_release);
  processReplacing(inputs, outputs, sampleFrames);
}

void KrVst::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  inProcess.store(true);
  if (!running.load()) {
    inProcess.store(false);
    return;
  }
  if (sampleFrames > 0 && !app->SoundRunning()) {
    // Resumed, but the engine refused the patch: a replacing host gets
    // silence rather than whatever its buffers held; an accumulating one
    // keeps its buffers as they are.
    if (replacing.load(std::memory_order_acquire)) ClearOutputs(outputs, cEffect.numOutputs, sampleFrames);
  } else if (sampleFrames > 0) {
    if (HostOutputModule* out = vstOut.load(std::memory_order_acquire)) out->SetHostBuffers(outputs);
    if (HostInputModule* in = vstIn.load(std::memory_order_acquire)) in->SetHostBuffers(inputs);
    DeliverHostMidi();
    app->RunAudioMaster(sampleFrames);
  }
  pendingEvents.store(nullptr, std::memory_order_release);  // valid for one block only
  if (sampleFrames > 0) CollectOutgoingMidi(sampleFrames);
  inProcess.store(false);
}

void KrVst::DeliverHostMidi() {
  VstEvents* events = pendingEvents.load(std::memory_order_acquire);
  HostInputModule* in = vstIn.load(std::memory_order_acquire);
  if (events == nullptr || in == nullptr) return;
  const std::uint32_t blockStart = in->Clock();
  VstEvent* const* slots = EventSlots(events);
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    VstEvent* e = slots[i];
    if (e == nullptr || e->type != kVstMidiType) continue;  // sysex and others are skipped
    auto* midi = reinterpret_cast<VstMidiEvent*>(e);
    if (midi->deltaFrames < 0) midi->deltaFrames = 0;
    in->SendMidi(blockStart + static_cast<std::uint32_t>(midi->deltaFrames), MidiWord(*midi));
  }
  in->WakeReceivers();
}

void KrVst::CollectOutgoingMidi(VstInt32 sampleFrames) {
  HostOutputModule* out = vstOut.load(std::memory_order_acquire);
  if (out == nullptr) return;
  const OutgoingMidiRing& ring = out->MidiRing();
  const int writePos = ring.WritePosition();
  if (outReadPos == writePos) return;

  outEvents.Clear();  // the host has had last block's records long enough
  const std::uint32_t blockStart = out->CurrentTime() - static_cast<std::uint32_t>(sampleFrames);
  while (outReadPos != writePos) {
    const OutgoingMidiEntry& entry = ring.At(outReadPos);
    const auto offset = static_cast<std::int32_t>(entry.time - blockStart);
    if (offset >= sampleFrames) break;  // belongs to a later block
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
  app->SetSampleRate(getSampleRate());
  pendingEvents.store(nullptr, std::memory_order_release);
  if (topContainer != nullptr && topContainer->HasMidiInput()) wantEvents(1);
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

void KrVst::SetHostInput(HostInputModule* module) { vstIn.store(module, std::memory_order_release); }

void KrVst::SetHostOutput(HostOutputModule* module) {
  // A new engine brings a new ring: start reading where it writes, not where
  // the previous engine's ring stood.
  if (module != nullptr) outReadPos = module->MidiRing().WritePosition();
  vstOut.store(module, std::memory_order_release);
}
