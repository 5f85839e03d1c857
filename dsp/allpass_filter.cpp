#include "dsp/allpass_filter.h"

#include <algorithm>
#include <numbers>

namespace kr::dsp {

AllpassTuning::AllpassTuning(double sampleRate)
    : sampleRate_(sampleRate > 0.0 ? sampleRate : 44100.0),
      cutoff_(SvCutoffTable(sampleRate_)),
      a_(AllpassATable(sampleRate_)),
      b_(AllpassBTable(sampleRate_)) {}

float AllpassTuning::Q(float resonance) {
  const float q = 1.5f * resonance + 0.5f;
  return q > 0.5f ? std::min(q, 4.0f) : 0.5f;  // NaN too
}

AllpassCoefficients AllpassFromPoles(double a1, double a2) {
  // Reflection coefficients of 1 - a1 z^-1 + a2 z^-2, kept strictly inside
  // (-1, 1) so that every rotation keeps a non-zero cosine.
  constexpr double kLimit = 1.0 - 1e-12;
  AllpassCoefficients c;
  c.k2 = std::isfinite(a2) ? std::clamp(a2, -kLimit, kLimit) : 0.0;
  const double k1 = -a1 / (1.0 + c.k2);
  c.k1 = std::isfinite(k1) ? std::clamp(k1, -kLimit, kLimit) : 0.0;
  c.c1 = std::sqrt((1.0 - c.k1) * (1.0 + c.k1));
  c.c2 = std::sqrt((1.0 - c.k2) * (1.0 + c.k2));
  return c;
}

AllpassCoefficients AllpassTuning::Coefficients(float pitch, float resonance, bool voltsPerKHz) const {
  const float q = Q(resonance);
  if (!voltsPerKHz && pitch >= 0.0f) {
    const auto f = std::max(static_cast<float>(ReadPitchTable(*cutoff_, pitch) / (2.0 * std::numbers::pi)),
                            static_cast<float>(kAllpassMinRatio));
    const float d = std::min(f * q, 1.0f);
    // The pole radius r = A(d/2); a2 = r^2 rather than the separately
    // interpolated A(d), which lies below r^2 and, at the lowest cutoffs,
    // would put the poles on the unit circle.
    const double r = ReadPitchTable(*a_, d * 0.5f);
    return AllpassFromPoles(r * ReadPitchTable(*b_, f), r * r);
  }
  const double f = std::max(CutoffRatio(pitch, voltsPerKHz, sampleRate_, 0.5), kAllpassMinRatio);
  return AllpassFromPoles(2.0 * std::exp(-std::numbers::pi * f * q) * std::cos(2.0 * std::numbers::pi * f),
                          std::exp(-2.0 * std::numbers::pi * f * q));
}

}  // namespace kr::dsp
