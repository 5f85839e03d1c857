// The one-pole filters ("1 Pole LP", "1 Pole HP"): y := x + a (y - x); the
// low-pass gives y, the high-pass x - y.
#pragma once

#include <cmath>
#include <memory>

#include "dsp/filter_cutoff.h"

namespace kr::dsp {

struct OnePoleState {
  float y = 0.0f;
};

class OnePoleTuning {
 public:
  explicit OnePoleTuning(double sampleRate);  // obtains the shared table: not on the audio thread

  // a = exp(-2 pi fc / fs), fc at most 0.495 fs and above 0.
  float Coefficient(float pitch, bool voltsPerKHz) const;
  double SampleRate() const { return sampleRate_; }

 private:
  double sampleRate_;
  std::shared_ptr<const ULookup> table_;
};

inline float OnePoleStep(OnePoleState& s, float a, float x) {
  s.y = x + a * (s.y - x);
  return s.y;
}

inline void OnePoleFlush(OnePoleState& s) { s.y = Undenormal(s.y); }

// One more step leaves y as it is, or y is within 1e-6 of the input.
inline bool OnePoleConverged(const OnePoleState& s, float a, float x) {
  return std::fabs(x - s.y) < 1e-6f || x + a * (s.y - x) == s.y;
}

}  // namespace kr::dsp
