#include "dsp/sv_filter.h"

#include <algorithm>
#include <numbers>

namespace kr::dsp {

SvTuning::SvTuning(double sampleRate)
    : sampleRate_(sampleRate > 0.0 ? sampleRate : 44100.0),
      cutoff_(SvCutoffTable(sampleRate_)),
      limit_(SvResonanceLimitTable()) {}

float SvTuning::Frequency(float pitch, bool voltsPerKHz) const {
  if (!voltsPerKHz && pitch >= 0.0f) return std::max(ReadPitchTable(*cutoff_, pitch), kMinFrequency);
  const double ratio = CutoffRatio(pitch, voltsPerKHz, sampleRate_, 0.5);
  return std::max(static_cast<float>(2.0 * std::numbers::pi * ratio), kMinFrequency);
}

void SvTuning::SetResonance(float resonance, SvCoefficients& c) const {
  const float r = resonance > 0.0f ? std::min(resonance, kMaxResonance) : 0.0f;  // NaN too
  c.q = 2.0f - 2.0f * r;
  c.limit = (*limit_)[static_cast<int>(512.0f * r)];
}

SvCoefficients SvTuning::Coefficients(float pitch, float resonance, bool voltsPerKHz) const {
  SvCoefficients c;
  SetResonance(resonance, c);
  c.f = std::min(Frequency(pitch, voltsPerKHz), c.limit);
  return c;
}

}  // namespace kr::dsp
