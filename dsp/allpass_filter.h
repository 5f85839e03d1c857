// The second-order all-pass ("All Pass"): flat magnitude, the phase turning
// through -180 degrees near the cutoff; the resonance widens the turn.
//
// The pole pair 1 - a1 z^-1 + a2 z^-2 runs as a normalised lattice: two
// rotations by the pair's reflection coefficients. Its transfer function is
// the direct form's, but its states never gain more than the input's energy,
// so a cutoff that moves every sample (or jumps) cannot make it blow up; in
// the direct form the inner recursion gains by 1e10 at low cutoffs and any
// change of the coefficients leaves that much in the output. Kept in double.
#pragma once

#include <cmath>
#include <memory>

#include "dsp/filter_cutoff.h"

namespace kr::dsp {

// The lowest cutoff, as a fraction of the sample rate (4.4 Hz at 44.1 kHz):
// below it the phase turn takes seconds and a constant input would leave
// hundreds of times itself in the states.
constexpr double kAllpassMinRatio = 1e-4;

struct AllpassState {
  double s1 = 0.0;  // the first section's delayed output
  double s2 = 0.0;  // the second section's
};

// The reflection coefficients of the two sections, each with its cosine
// sqrt(1 - k^2). The default passes the input through.
struct AllpassCoefficients {
  double k1 = 0.0, c1 = 1.0;
  double k2 = 0.0, c2 = 1.0;
};

// The all-pass whose denominator is 1 - a1 z^-1 + a2 z^-2 (poles inside the
// unit circle: |a2| < 1, |a1| < 1 + a2); coefficients outside are pulled in.
AllpassCoefficients AllpassFromPoles(double a1, double a2);

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

inline double AllpassStepDouble(AllpassState& s, const AllpassCoefficients& c, double x) {
  const double f1 = c.c2 * x - c.k2 * s.s2;
  const double out = c.k2 * x + c.c2 * s.s2;
  const double f0 = c.c1 * f1 - c.k1 * s.s1;
  s.s2 = c.k1 * f1 + c.c1 * s.s1;
  s.s1 = f0;
  return out;
}

inline float AllpassStep(AllpassState& s, const AllpassCoefficients& c, float x) {
  return static_cast<float>(AllpassStepDouble(s, c, x));
}

inline void AllpassFlush(AllpassState& s) {
  s.s1 = UndenormalDouble(s.s1);
  s.s2 = UndenormalDouble(s.s2);
}

// The states a constant input x settles to (the output is then x).
inline AllpassState AllpassSteadyState(const AllpassCoefficients& c, float x) {
  AllpassState steady;
  steady.s2 = c.c2 * x / (1.0 + c.k2);
  steady.s1 = c.c1 * steady.s2 / (1.0 + c.k1);
  return steady;
}

// The states lie within 1.5e-6 (in sum) of those a constant input settles to.
inline bool AllpassConverged(const AllpassState& s, const AllpassCoefficients& c, float x) {
  const AllpassState steady = AllpassSteadyState(c, x);
  return std::fabs(s.s1 - steady.s1) + std::fabs(s.s2 - steady.s2) < 1.5e-6;
}

inline void AllpassSnap(AllpassState& s, const AllpassCoefficients& c, float x) { s = AllpassSteadyState(c, x); }

}  // namespace kr::dsp
