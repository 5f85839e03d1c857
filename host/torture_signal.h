// The signals a torture run feeds a plug-in and what it measures of the
// output: input kinds (from silence to NaN), a repeating note phrase, and
// block statistics.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string_view>
#include <vector>

#include "host/host_harness.h"

namespace kr {

namespace torture {

enum class InputKind { Silence, Noise, Subnormal, NaN, PlusInfinity, MinusInfinity };

std::string_view InputName(InputKind kind);
// Fills a channel: full-scale noise, denormal floats of both signs, or the
// same special value in every sample.
void FillInput(std::span<float> channel, InputKind kind, std::mt19937& random);

// Notes on channel 1, one every quarter second, each held a fifth of a second.
class Phrase {
 public:
  explicit Phrase(double sampleRate) { SetRate(sampleRate); }
  void SetRate(double sampleRate);
  // Appends the notes that start or end in [start, start + frames).
  void Fill(std::int64_t start, int frames, std::vector<MidiAt>& out) const;

 private:
  std::int64_t period_ = 11025;
  std::int64_t length_ = 8820;
};

// What the output of one or more blocks held.
struct OutputStats {
  std::int64_t frames = 0;
  std::int64_t nonFinite = 0;
  double sumSquares = 0.0;
  float peak = 0.0f;

  void Add(std::span<const float> samples);
  void Add(const OutputStats& other);
  double Rms() const;
  bool Finite() const { return nonFinite == 0; }
};

}  // namespace torture

}  // namespace kr
