// The state-variable filter ("SV Filter"): low-pass, high-pass, band-pass and
// band-reject from two states, tuned by a pitch sample and damped by the
// resonance.
#pragma once

#include <cmath>
#include <memory>

#include "dsp/filter_cutoff.h"

namespace kr::dsp {

struct SvState {
  float lp = 0.0f;
  float bp = 0.0f;
};

struct SvCoefficients {
  float f = 0.1f;      // frequency coefficient, 2 pi fc / fs, limited by the resonance
  float q = 1.0f;      // damping, 2 - 2 r
  float limit = 1.0f;  // the resonance limit on f
};

class SvTuning {
 public:
  static constexpr float kMaxResonance = 0.9992f;
  static constexpr float kMinFrequency = 1e-5f;

  explicit SvTuning(double sampleRate);  // obtains the shared tables: not on the audio thread

  // 2 pi fc / fs for a pitch sample, before the resonance limit; at least 1e-5.
  float Frequency(float pitch, bool voltsPerKHz) const;
  // Damping and limit for a resonance sample (limited to 0 ... 0.9992).
  void SetResonance(float resonance, SvCoefficients& c) const;
  SvCoefficients Coefficients(float pitch, float resonance, bool voltsPerKHz) const;
  double SampleRate() const { return sampleRate_; }

 private:
  double sampleRate_;
  std::shared_ptr<const ULookup> cutoff_;
  std::shared_ptr<const ULookup> limit_;
};

// One sample; lp, hp and bp are this sample's outputs (band reject is hp + lp).
inline float SvStep(SvState& s, float f, float q, float x, float& hp) {
  s.lp += f * s.bp;
  hp = x - q * s.bp - s.lp;
  s.bp += f * hp;
  return s.lp;
}

// Both states through the denormal guard.
inline void SvFlush(SvState& s) {
  s.lp = Undenormal(s.lp);
  s.bp = Undenormal(s.bp);
}

// Converged to a constant input x: one more step would leave both states as
// they are, or they are within 1e-6 of the steady state (lp = x, bp = 0).
inline bool SvConverged(const SvState& s, float f, float q, float x) {
  if (std::fabs(s.bp) + std::fabs(s.lp - x) < 1e-6f) return true;
  SvState next = s;
  float hp = 0.0f;
  SvStep(next, f, q, x, hp);
  return next.lp == s.lp && next.bp == s.bp;
}

}  // namespace kr::dsp
