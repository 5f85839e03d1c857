#include "dsp/one_pole.h"

#include <numbers>

namespace kr::dsp {

OnePoleTuning::OnePoleTuning(double sampleRate)
    : sampleRate_(sampleRate > 0.0 ? sampleRate : 44100.0), table_(OnePoleTable(sampleRate_)) {}

float OnePoleTuning::Coefficient(float pitch, bool voltsPerKHz) const {
  if (!voltsPerKHz && pitch >= 0.0f) return ReadPitchTable(*table_, pitch);
  const double ratio = CutoffRatio(pitch, voltsPerKHz, sampleRate_, kLadderMaxRatio);
  return static_cast<float>(std::exp(-2.0 * std::numbers::pi * ratio));
}

}  // namespace kr::dsp
