#include "dsp/sample_voice.h"

#include <algorithm>
#include <cmath>

#include "dsp/sinc_interpolation.h"

namespace kr::dsp::sample_voice {

std::uint32_t Increment(double step, double maxStep) {
  if (!(step > 0.0)) return 0;  // also NaN
  return static_cast<std::uint32_t>(std::min(step, maxStep) * 16777216.0);
}

void Start(State& v, std::int64_t start) {
  v.pos = start;
  v.acc = 0u - v.inc;
  if (v.inc == 0) v.acc = 0;
  v.wrap = std::min(v.loopMode != 0 ? v.loopEnd : v.end, v.end);
  v.ended = false;
}

float ReadFirst(const State& v, const float* table) {
  return sinc::Read(table, v.samples + v.pos, v.acc) * (1.0f / 131072.0f);
}

float ReadSecond(const State& v, const float* table) {
  return sinc::Read(table, v.samples + v.pos + v.secondOffset, v.acc) * (1.0f / 131072.0f);
}

int StageSamples(int timecents, double sampleRate) {
  const int tc = std::clamp(timecents, -12000, 8000);
  const double n = std::exp2(tc / 1200.0) * sampleRate;
  return static_cast<int>(std::clamp(n, 1.0, 100.0 * 192000.0));
}

float SustainLevel(int centibels) { return 1.0f - static_cast<float>(std::clamp(centibels, 0, 1000)) / 1000.0f; }

void StartEnvelope(Envelope& e, int attack, int decay, float sustain, int release) {
  e.stage = Envelope::kAttack;
  e.level = 0.0f;
  e.remaining = std::max(1, attack);
  e.step = 1.0f / static_cast<float>(e.remaining);
  e.sustain = std::clamp(sustain, 0.0f, 1.0f);
  e.decaySamples = std::max(1, decay);
  e.releaseSamples = std::max(1, release);
}

void ReleaseEnvelope(Envelope& e) {
  if (e.stage >= Envelope::kRelease) return;
  e.stage = Envelope::kRelease;
  e.remaining = e.releaseSamples;
  e.step = -e.level / static_cast<float>(e.releaseSamples);
}

}  // namespace kr::dsp::sample_voice
