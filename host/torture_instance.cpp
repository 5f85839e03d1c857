#include "host/torture_instance.h"

#include <cstring>

#include "host/audio_call.h"

namespace kr {

using namespace vst;

namespace torture {

namespace {
// Blocks after a resume in which a patch may still make what it keeps.
constexpr std::int64_t kSettlingBlocks = 8;
}  // namespace

Instance::~Instance() { Close(); }

bool Instance::Open(const std::string& path, std::string& error) {
  host_.SetRecordingCalls(false);
  if (!host_.Load(path)) {
    error = host_.Error();
    return false;
  }
  if (host_.CallMain() == nullptr) {
    error = "main returned null for " + path;
    return false;
  }
  host_.Dispatch(effOpen);
  open_ = true;
  return true;
}

void Instance::Close() {
  if (!open_) return;
  Stop();
  host_.Close();
  open_ = false;
}

void Instance::Start(float sampleRate, int blockSize) {
  if (!open_) return;
  Stop();
  rate_ = sampleRate;
  host_.SetSampleRateAnswer(static_cast<VstIntPtr>(sampleRate));
  host_.Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
  host_.Dispatch(effSetBlockSize, 0, blockSize);
  host_.Dispatch(effMainsChanged, 0, 1);
  phrasing_.SetRate(sampleRate);
  blocksSinceStart_ = 0;
  started_ = true;
}

void Instance::Stop() {
  if (!open_ || !started_) return;
  host_.Dispatch(effMainsChanged, 0, 0);
  started_ = false;
}

OutputStats Instance::Run(int frames, InputKind input, std::span<const MidiAt> midi) {
  OutputStats stats;
  if (!open_) return stats;
  midi_.clear();
  if (phrase_) phrasing_.Fill(position_, frames, midi_);
  midi_.insert(midi_.end(), midi.begin(), midi.end());
  host_.PrepareBlock(frames);
  for (int c = 0; c < Effect().numInputs; ++c) FillInput(host_.Input(c), input, random_);
  // A replacing host leaves whatever was in its buffers: the plug-in must write them.
  for (int c = 0; c < Effect().numOutputs; ++c)
    for (float& s : host_.Output(c)) s = 12345.0f;
  const bool count = countAllocations_ && blocksSinceStart_ >= kSettlingBlocks;
  audio_call::SetCounting(count);
  host_.RunBlock(midi_);
  audio_call::SetCounting(false);
  for (int c = 0; c < Effect().numOutputs; ++c) {
    const std::span<const float> out = host_.Output(c);
    stats.Add(out);
    for (float s : out) {
      std::uint32_t bits = 0;
      std::memcpy(&bits, &s, sizeof bits);
      digest_ = (digest_ ^ bits) * 1099511628211ull;
    }
  }
  position_ += frames;
  ++blocksSinceStart_;
  return stats;
}

OutputStats Instance::RunFor(std::int64_t frames, int blockSize, InputKind input) {
  OutputStats stats;
  while (frames > 0) {
    const int n = frames < blockSize ? static_cast<int>(frames) : blockSize;
    stats.Add(Run(n, input));
    frames -= n;
  }
  return stats;
}

bool Instance::HasChunks() const { return open_ && (host_.Effect()->flags & effFlagsProgramChunks) != 0; }

std::vector<std::uint8_t> Instance::Chunk(bool program) {
  void* data = nullptr;
  const VstIntPtr size = host_.Dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

void Instance::SetChunk(std::span<const std::uint8_t> bytes, bool program) {
  std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());  // a host hands its own buffer
  host_.Dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(copy.size()), copy.data());
}

}  // namespace torture

}  // namespace kr
