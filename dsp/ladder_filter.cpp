#include "dsp/ladder_filter.h"

#include <algorithm>

namespace kr::dsp {

LadderTuning::LadderTuning(double sampleRate)
    : sampleRate_(sampleRate > 0.0 ? sampleRate : 44100.0),
      kp_(LadderKpTable(sampleRate_)),
      scale_(LadderScaleTable(sampleRate_)) {}

LadderCoefficients LadderTuning::Coefficients(float pitch, float resonance, bool voltsPerKHz) const {
  LadderCoefficients c;
  float scale = 1.0f;
  if (!voltsPerKHz && pitch >= 0.0f) {
    const float s = std::min(pitch, 1.0f);
    c.k = ReadPitchTable(*kp_, s);
    c.p = (c.k + 1.0f) * 0.5f;
    scale = ReadPitchTable(*scale_, s);
  } else {
    const double f = 2.0 * CutoffRatio(pitch, voltsPerKHz, sampleRate_, kLadderMaxRatio);
    c.k = K(f);
    c.p = (c.k + 1.0f) * 0.5f;
    scale = Scale(c.p);
  }
  // The soft clip bounds the loop for any feedback; absurd values are held
  // to +-100 V so the stages stay finite, and NaN counts as 0.
  const float rho = resonance > -10.0f ? std::min(resonance, 10.0f) : (resonance <= -10.0f ? -10.0f : 0.0f);
  c.feedback = rho * scale;
  return c;
}

}  // namespace kr::dsp
