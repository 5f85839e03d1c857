#include "dsp/step_clock.h"

#include <cmath>

namespace kr::dsp {

double StepsPerQuarter(int division) { return (division >= 1 && division <= 256 ? division : 16) / 4.0; }

StepPosition StepAt(double firstStep, double stepsPerSample, int i) {
  const double at = firstStep + stepsPerSample * i;
  constexpr double kFarthest = 9.0e15;  // below 2^53: whole steps stay exact
  if (!(std::fabs(at) < kFarthest)) return {};
  const double whole = std::floor(at + kStepTolerance);
  const double fraction = at - whole;
  return {static_cast<std::int64_t>(whole), fraction > 0.0 ? fraction : 0.0};
}

}  // namespace kr::dsp
