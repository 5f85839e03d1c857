// One voice reading 16-bit sample data: an 8.24 phase, a read position in
// the data, the loop, and the windowed-sinc read; and the linear volume
// envelope of the SoundFont player. Engine-free: the sample players drive it.
#pragma once

#include <cstdint>

namespace kr::dsp::sample_voice {

// Phase increment (samples per output sample × 2^24) for a step; NaN,
// zero and negative steps give 0, steps above maxStep give maxStep.
std::uint32_t Increment(double step, double maxStep);

struct State {
  const std::int16_t* samples = nullptr;  // index 0 = first sample; guard samples around
  std::int64_t pos = 0;
  std::int64_t end = 0;        // exclusive
  std::int64_t loopStart = 0;
  std::int64_t loopEnd = 0;    // exclusive, > loopStart whenever loopMode != 0
  std::int64_t wrap = 0;       // the current wrap limit
  std::int64_t secondOffset = 0;
  std::uint32_t acc = 0;
  std::uint32_t inc = 0;
  int loopMode = 0;
  bool stereo = false;
  bool ended = false;
};

// Starts at `start`: the first Advance reads the start sample.
void Start(State& v, std::int64_t start);

// Moves one output sample on; held tells loop mode 3 to keep looping.
// False (and ended set) when the sample has played out.
inline bool Advance(State& v, bool held) {
  v.acc += v.inc;
  if (v.acc > 0xFFFFFFu) {
    v.pos += v.acc >> 24;
    v.acc &= 0xFFFFFFu;
  }
  if (v.pos < v.wrap) return true;
  if (v.loopMode == 0 || (v.loopMode == 3 && !held)) {
    v.wrap = v.end;
    if (v.pos >= v.end) {
      v.ended = true;
      return false;
    }
    return true;
  }
  v.pos = v.loopStart + (v.pos - v.loopEnd) % (v.loopEnd - v.loopStart);
  return true;
}

// The sample value at the current position (a full-scale sample gives 0.25).
float ReadFirst(const State& v, const float* table);
float ReadSecond(const State& v, const float* table);

// The SoundFont player's volume envelope: linear stages attack (0 to 1),
// decay (to the sustain level), sustain, release (to 0), off.
struct Envelope {
  enum Stage { kAttack, kDecay, kSustain, kRelease, kOff };
  int stage = kOff;
  float level = 0.0f;
  float step = 0.0f;
  int remaining = 0;
  float sustain = 1.0f;
  int decaySamples = 1;
  int releaseSamples = 1;
};

// A stage length from timecents: max(1, 2^(tc / 1200) × rate), with tc
// held to -12000 ... 8000 (about 100 s).
int StageSamples(int timecents, double sampleRate);
// Sustain level from centibels of attenuation, held to 0 ... 1000.
float SustainLevel(int centibels);

void StartEnvelope(Envelope& e, int attack, int decay, float sustain, int release);
void ReleaseEnvelope(Envelope& e);
// The level for the next sample; stage becomes kOff when the voice should end.
inline float NextLevel(Envelope& e) {
  if (e.remaining <= 0) return e.level;
  e.level += e.step;
  if (--e.remaining > 0) return e.level;
  switch (e.stage) {
    case Envelope::kAttack:
      e.level = 1.0f;
      e.stage = Envelope::kDecay;
      e.remaining = e.decaySamples;
      e.step = (e.sustain - 1.0f) / static_cast<float>(e.decaySamples);
      break;
    case Envelope::kDecay:
      e.level = e.sustain;
      e.stage = e.sustain <= 0.0f ? Envelope::kOff : Envelope::kSustain;
      break;
    default:
      e.level = 0.0f;
      e.stage = Envelope::kOff;
      break;
  }
  return e.level;
}

}  // namespace kr::dsp::sample_voice
