#include "host/host_harness.h"

#include <cstddef>
#include <cstring>

#include "host/audio_call.h"
#include "host/plugin_library.h"
#include "platform/platform.h"

namespace kr {

using namespace vst;

namespace {

// The harness whose entry is running: calls made from inside `main`, before
// the host knows the effect record, are routed to it.
thread_local HostHarness* constructingHarness = nullptr;

constexpr VstInt32 kMaxRecordedEvents = 65536;
constexpr std::size_t kMaxRecordedText = 256;

VstEvent* const* EventSlots(const VstEvents* events) {
  return reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(events) + offsetof(VstEvents, events));
}

}  // namespace

HostHarness::HostHarness() = default;

HostHarness::~HostHarness() {
  if (effect_ != nullptr) Close();
  for (AEffect* other : others_) other->dispatcher(other, effClose, 0, 0, nullptr, 0.0f);
  if (library_ != nullptr) platform::FreeLibrary(library_);
}

bool HostHarness::Load(const std::string& path) {
  // A bare file name means a file in the current folder, as a user typing it
  // expects; the loader would otherwise search the system library paths.
  const bool bare = path.find_first_of("/\\") == std::string::npos;
  kr::PluginLibrary loaded = kr::LoadPluginLibrary(bare ? std::string(".") + platform::PathSeparator() + path : path);
  switch (loaded.outcome) {
    case kr::PluginLibrary::Outcome::NoLibrary:
      error_ = "cannot load " + path + ": " + loaded.systemError;
      return false;
    case kr::PluginLibrary::Outcome::NoEntry:
      error_ = path + " exports neither main nor VSTPluginMain";
      return false;
    case kr::PluginLibrary::Outcome::Loaded:
      break;
  }
  library_ = loaded.library;
  entry_ = loaded.entry;
  return true;
}

void HostHarness::UseEntry(PluginEntry entry) { entry_ = entry; }

AEffect* HostHarness::CallMain() {
  if (entry_ == nullptr) return nullptr;
  HostHarness* outer = constructingHarness;
  constructingHarness = this;
  AEffect* effect = entry_(&HostHarness::AudioMaster);
  constructingHarness = outer;
  if (effect != nullptr) {
    effect->user = this;  // the host's own field: how callbacks find this harness
    if (effect_ == nullptr)
      effect_ = effect;
    else
      others_.push_back(effect);  // closed with the harness
  }
  return effect;
}

VstIntPtr HostHarness::AudioMaster(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  const audio_call::HostScope host;  // what the host does here is not the plug-in's
  HostHarness* harness = nullptr;
  if (effect != nullptr && effect->user != nullptr) harness = static_cast<HostHarness*>(effect->user);
  if (harness == nullptr) harness = constructingHarness;
  if (harness == nullptr) return opcode == audioMasterVersion ? kHostVersion : 0;
  return harness->Answer(effect, opcode, index, value, ptr, opt);
}

VstIntPtr HostHarness::Answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
  HostCall call;
  call.effect = effect;
  call.opcode = opcode;
  call.index = index;
  call.value = value;
  call.opt = opt;
  call.ptr = ptr;
  call.hadPointer = ptr != nullptr;
  if (opcode == audioMasterProcessEvents && ptr != nullptr) {
    const auto* events = static_cast<const VstEvents*>(ptr);
    const VstInt32 count = events->numEvents < kMaxRecordedEvents ? events->numEvents : kMaxRecordedEvents;
    VstEvent* const* slots = EventSlots(events);
    for (VstInt32 i = 0; i < count; ++i) {
      if (slots[i] == nullptr) continue;
      VstMidiEvent copy{};
      std::memcpy(&copy, slots[i], sizeof copy);  // every event record starts with these 32 bytes
      call.events.push_back(copy);
    }
  } else if (opcode == audioMasterCanDo && ptr != nullptr) {
    const char* text = static_cast<const char*>(ptr);
    call.text.assign(text, strnlen(text, kMaxRecordedText));
  }
  if (recordingCalls_) {
    std::lock_guard<std::mutex> lock(callsMutex_);
    calls_.push_back(std::move(call));
  }

  switch (opcode) {
    case audioMasterVersion:
      return versionAnswer_;
    case audioMasterGetTime:
      if (!timeInfo_) return 0;
      timeAnswer_ = *timeInfo_;
      return reinterpret_cast<VstIntPtr>(&timeAnswer_);
    case audioMasterGetSampleRate:
      return sampleRateAnswer_;
    case audioMasterGetBlockSize:
      return frames_ > 0 ? frames_ : 1024;
    case audioMasterWantMidi:
    case audioMasterProcessEvents:
    case audioMasterNeedIdle:
    case audioMasterUpdateDisplay:
    case audioMasterGetVendorVersion:
      return 1;
    case audioMasterGetVendorString:
    case audioMasterGetProductString:
      if (ptr != nullptr) std::strcpy(static_cast<char*>(ptr), "Kestrune harness");
      return 1;
    default:
      return 0;
  }
}

VstIntPtr HostHarness::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (effect_ == nullptr) return 0;
  const VstIntPtr result = effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
  if (opcode == effClose) effect_ = nullptr;
  return result;
}

VstIntPtr HostHarness::Close() { return Dispatch(effClose); }

void HostHarness::SetParameter(VstInt32 index, float value) {
  if (effect_ != nullptr) effect_->setParameter(effect_, index, value);
}

float HostHarness::GetParameter(VstInt32 index) {
  return effect_ != nullptr ? effect_->getParameter(effect_, index) : 0.0f;
}

std::string HostHarness::TextCall(VstInt32 opcode, VstInt32 index, std::size_t bufferSize) {
  std::vector<char> buffer(bufferSize + 1, '\0');
  Dispatch(opcode, index, 0, buffer.data());
  buffer.back() = '\0';
  return buffer.data();
}

std::string HostHarness::ParameterText(VstInt32 opcode, VstInt32 index) { return TextCall(opcode, index); }

void HostHarness::PrepareBlock(int frames) {
  frames_ = frames > 0 ? frames : 0;
  const int ins = effect_ != nullptr ? effect_->numInputs : 0;
  const int outs = effect_ != nullptr ? effect_->numOutputs : 0;
  inputs_.assign(static_cast<std::size_t>(ins > 0 ? ins : 0), std::vector<float>(static_cast<std::size_t>(frames_)));
  outputs_.assign(static_cast<std::size_t>(outs > 0 ? outs : 0), std::vector<float>(static_cast<std::size_t>(frames_)));
  inputPtrs_.clear();
  outputPtrs_.clear();
  for (auto& b : inputs_) inputPtrs_.push_back(b.data());
  for (auto& b : outputs_) outputPtrs_.push_back(b.data());
}

std::span<float> HostHarness::Input(int channel) { return inputs_.at(static_cast<std::size_t>(channel)); }
std::span<float> HostHarness::Output(int channel) { return outputs_.at(static_cast<std::size_t>(channel)); }

void HostHarness::RunBlock(std::span<const MidiAt> midi, ProcessMode mode) {
  if (effect_ == nullptr) return;
  if (!midi.empty()) {
    blockEvents_.assign(midi.size(), VstMidiEvent{});
    blockHeader_.assign(2 + midi.size(), 0);
    auto* header = reinterpret_cast<VstEvents*>(blockHeader_.data());
    header->numEvents = static_cast<VstInt32>(midi.size());
    auto** slots = reinterpret_cast<VstEvent**>(blockHeader_.data() + 2);
    for (std::size_t i = 0; i < midi.size(); ++i) {
      VstMidiEvent& e = blockEvents_[i];
      e.type = kVstMidiType;
      e.byteSize = sizeof(VstMidiEvent);
      e.deltaFrames = midi[i].offset;
      e.midiData[0] = static_cast<char>(midi[i].status);
      e.midiData[1] = static_cast<char>(midi[i].data1);
      e.midiData[2] = static_cast<char>(midi[i].data2);
      slots[i] = reinterpret_cast<VstEvent*>(&e);
    }
    const audio_call::Scope audio;
    Dispatch(effProcessEvents, 0, 0, header);
  }
  float** ins = inputPtrs_.empty() ? nullptr : inputPtrs_.data();
  float** outs = outputPtrs_.empty() ? nullptr : outputPtrs_.data();
  const audio_call::Scope audio;
  if (mode == ProcessMode::Replacing)
    effect_->processReplacing(effect_, ins, outs, frames_);
  else
    effect_->process(effect_, ins, outs, frames_);
}

void HostHarness::ClearCalls() {
  std::lock_guard<std::mutex> lock(callsMutex_);
  calls_.clear();
}

std::vector<HostCall> HostHarness::CallsWithOpcode(VstInt32 opcode) const {
  std::vector<HostCall> found;
  for (const HostCall& c : calls_)
    if (c.opcode == opcode) found.push_back(c);
  return found;
}

}  // namespace kr
