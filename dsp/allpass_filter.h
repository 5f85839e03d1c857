// The second-order all-pass ("All Pass"): flat magnitude, the phase turning
// through -180 degrees near the cutoff; the resonance widens the turn. Kept
// in double: at low cutoffs the inner recursion gains by 1e10 and the output
// is a difference of large values.
#pragma once

#include <cmath>
#include <memory>

#include "dsp/filter_cutoff.h"

namespace kr::dsp {

struct AllpassState {
  double z1 = 0.0;
  double z2 = 0.0;
};

struct AllpassCoefficients {
  double a1 = 0.0;
  double a2 = 0.0;
};

class AllpassTuning {
 public:
  explicit AllpassTuning(double sampleRate);  // obtains the shared tables: not on the audio thread

  AllpassCoefficients Coefficients(float pitch, float resonance, bool voltsPerKHz) const;
  double SampleRate() const { return sampleRate_; }
  // Q = 1.5 rho + 0.5, limited to 0.5 ... 4.
  static float Q(float resonance);

 private:
  double sampleRate_;
  std::shared_ptr<const ULookup> cutoff_;  // the SV filter's: 2 pi fc / fs
  std::shared_ptr<const ULookup> a_;
  std::shared_ptr<const ULookup> b_;
};

inline float AllpassStep(AllpassState& s, const AllpassCoefficients& c, float x) {
  const double w = c.a1 * s.z1 + x - c.a2 * s.z2;
  const double out = s.z2 + c.a2 * w - c.a1 * s.z1;
  s.z2 = s.z1;
  s.z1 = w;
  return static_cast<float>(out);
}

inline void AllpassFlush(AllpassState& s) {
  s.z1 = UndenormalDouble(s.z1);
  s.z2 = UndenormalDouble(s.z2);
}

// One more step leaves z1 as it is, or the two delayed values agree to 1.5e-6.
inline bool AllpassConverged(const AllpassState& s, const AllpassCoefficients& c, float x) {
  return std::fabs(s.z1 - s.z2) < 1.5e-6 || c.a1 * s.z1 + x - c.a2 * s.z2 == s.z1;
}

// The states a constant input x settles to (w = x / (1 - a1 + a2)).
inline void AllpassSnap(AllpassState& s, const AllpassCoefficients& c, float x) {
  const double d = 1.0 - c.a1 + c.a2;
  const double w = d != 0.0 && std::isfinite(x / d) ? x / d : x;
  s.z1 = s.z2 = w;
}

}  // namespace kr::dsp
