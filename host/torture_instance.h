// One plug-in instance driven the way a host drives it during a torture run:
// opened, started at a rate and block size, fed blocks of any length with the
// phrase, chosen input and extra MIDI, and its output measured.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "host/host_harness.h"
#include "host/torture_signal.h"

namespace kr {

namespace torture {

class Instance {
 public:
  Instance() = default;
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // Loads the file, calls its entry and opens the effect.
  bool Open(const std::string& path, std::string& error);
  void Close();
  // Sets the rate and block size and resumes (effMainsChanged 1).
  void Start(float sampleRate, int blockSize);
  // Suspends (effMainsChanged 0).
  void Stop();

  // One block: the phrase's notes plus `midi`, `input` in every input channel.
  // The blocks after a start are not counted for allocations while the patch
  // settles; the others are when `countAllocations` is on.
  OutputStats Run(int frames, InputKind input = InputKind::Silence, std::span<const MidiAt> midi = {});
  // Blocks of `blockSize` frames until `frames` frames have run.
  OutputStats RunFor(std::int64_t frames, int blockSize, InputKind input = InputKind::Silence);

  void SetPhrase(bool on) { phrase_ = on; }
  void SetCountAllocations(bool on) { countAllocations_ = on; }
  // Feeds the output samples of every block to a running digest.
  std::uint64_t OutputDigest() const { return digest_; }

  HostHarness& Host() { return host_; }
  vst::AEffect& Effect() { return *host_.Effect(); }
  float SampleRate() const { return rate_; }
  bool HasChunks() const;
  // The chunk the plug-in answers (bank or one program), copied.
  std::vector<std::uint8_t> Chunk(bool program);
  void SetChunk(std::span<const std::uint8_t> bytes, bool program);

 private:
  HostHarness host_;
  bool open_ = false;
  bool started_ = false;
  float rate_ = 44100.0f;
  std::int64_t position_ = 0;
  std::int64_t blocksSinceStart_ = 0;
  Phrase phrasing_{44100.0};
  bool phrase_ = true;
  bool countAllocations_ = true;
  std::uint64_t digest_ = 1469598103934665603ull;
  std::mt19937 random_{7};
  std::vector<MidiAt> midi_;
};

}  // namespace torture

}  // namespace kr
