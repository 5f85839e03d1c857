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

AllpassCoefficients AllpassTuning::Coefficients(float pitch, float resonance, bool voltsPerKHz) const {
  const float q = Q(resonance);
  AllpassCoefficients c;
  if (!voltsPerKHz && pitch >= 0.0f) {
    const auto f = std::max(static_cast<float>(ReadPitchTable(*cutoff_, pitch) / (2.0 * std::numbers::pi)),
                            static_cast<float>(kMinCutoffRatio));
    const float d = std::min(f * q, 1.0f);
    // The pole radius r = A(d/2); a2 = r^2 rather than the separately
    // interpolated A(d), which lies below r^2 and, at the lowest cutoffs,
    // would put the poles on the unit circle.
    const double r = ReadPitchTable(*a_, d * 0.5f);
    c.a1 = r * ReadPitchTable(*b_, f);
    c.a2 = r * r;
    return c;
  }
  const double f = CutoffRatio(pitch, voltsPerKHz, sampleRate_, 0.5);
  c.a1 = 2.0 * std::exp(-std::numbers::pi * f * q) * std::cos(2.0 * std::numbers::pi * f);
  c.a2 = std::exp(-2.0 * std::numbers::pi * f * q);
  return c;
}

}  // namespace kr::dsp
