// The envelopes' segment arithmetic: a level that ramps towards a target,
// either by a fixed step for a counted number of samples or towards a
// target and rate that may change every sample.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>

namespace kr::dsp {

struct EnvelopeRamp {
  float level = 0.0f;  // sample units
  float target = 0.0f;
  float step = 0.0f;      // per sample, signed
  int left = 0;           // samples left in a fixed-step ramp
  float outValue = 0.0f;  // level times a held overall level, stepped per sample
  float outStep = 0.0f;
};

// The full-scale time for a rate voltage of V volts is 2^(V - 6.667) s;
// the step per sample for a rate sample (1.0 = 10 V).
inline float EnvelopeRateToStep(float rate, double sampleRate) {
  const double seconds = std::exp2((static_cast<double>(rate) * 10.0 * 12000.0 * 0.1 - 8000.0) / 1200.0);
  const double step = 1.0 / (seconds * sampleRate);
  // A rate so slow it rounds to nothing still moves (a step of 0 would never end).
  if (!(step > 1e-12)) return 1e-12f;
  return static_cast<float>(std::min(step, 1e6));
}

// Levels from inputs may be anything; a target that is not a number is 0.
inline float FiniteLevel(float v) { return std::isfinite(v) ? v : 0.0f; }

// Whole samples of a ramp: at least 1, never beyond the 32-bit count.
inline int RampSampleCount(double samples) {
  if (!(samples >= 1.0)) return 1;
  if (samples >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(samples);
}

// A fixed-step ramp for up to count samples, scaled by a held overall level
// (per sample, so the level is the same however the blocks are cut) or by
// an overall level per sample. Answers the samples written; the ramp has
// arrived when r.left is 0.
inline int RampFixedHeld(EnvelopeRamp& r, float* out, int count) {
  const int n = std::min(count, r.left);
  for (int k = 0; k < n; ++k) {
    r.level += r.step;
    r.outValue += r.outStep;
    out[k] = r.outValue;
  }
  r.left -= n;
  return n;
}

inline int RampFixedScaled(EnvelopeRamp& r, const float* overall, float* out, int count) {
  const int n = std::min(count, r.left);
  for (int k = 0; k < n; ++k) {
    r.level += r.step;
    out[k] = r.level * overall[k];
  }
  r.left -= n;
  return n;
}

// One sample of a ramp towards r.target by magnitude: answers true when
// this sample reaches (or passes) the target, leaving the level for the
// caller to finish on; else moves the level.
inline bool RampTowardTarget(EnvelopeRamp& r, float magnitude) {
  const bool rising = r.level < r.target;
  const float next = rising ? r.level + magnitude : r.level - magnitude;
  if (rising ? next >= r.target : next <= r.target) return true;
  r.level = next;
  return false;
}

}  // namespace kr::dsp
