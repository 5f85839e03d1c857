#include "dsp/peaking_eq.h"

#include <algorithm>
#include <numbers>

namespace kr::dsp {

EqCoefficients PeakingCoefficients(float pitch, float resonance, float boost, bool voltsPerKHz, double sampleRate) {
  const double ratio = std::clamp(CutoffRatio(pitch, voltsPerKHz, sampleRate, kEqMaxRatio), kEqMinRatio, kEqMaxRatio);
  const double octaves = resonance * 10.0 > kEqMinOctaves ? std::min(resonance * 10.0, kEqMaxOctaves) : kEqMinOctaves;
  const double cut = boost > -1.0f ? std::min(static_cast<double>(boost), 1.0) : (boost <= -1.0f ? -1.0 : 0.0);
  const double a = std::pow(10.0, 2.5 * cut);
  const double w = 2.0 * std::numbers::pi * ratio;
  const double sw = std::sin(w);
  // Near fs/2, w / sin w grows without bound; past sinh(20) the poles would
  // round onto the unit circle (a2 -> -1), and no band is that wide anyway.
  const double alpha = sw * std::sinh(std::min(std::numbers::ln2 / 2.0 * octaves * w / sw, kEqMaxSinhArgument));
  const double cw = std::cos(w);
  const double a0 = 1.0 + alpha / a;
  EqCoefficients c;
  c.b0 = (1.0 + alpha * a) / a0;
  c.b1 = -2.0 * cw / a0;
  c.b2 = (1.0 - alpha * a) / a0;
  c.a1 = -2.0 * cw / a0;
  c.a2 = (1.0 - alpha / a) / a0;
  c.allpass = AllpassFromPoles(-c.a1, c.a2);
  c.dry = (1.0 + a * a) / 2.0;
  c.wet = (1.0 - a * a) / 2.0;
  return c;
}

}  // namespace kr::dsp
