#include "dsp/crusher.h"

#include <algorithm>
#include <cmath>

namespace kr::dsp::crusher {

double LevelsFor(float bitsControl) {
  const double v = std::isfinite(bitsControl) ? std::clamp(static_cast<double>(bitsControl), 0.0, 1.0) : 1.0;
  const double bits = 1.0 + 15.0 * v;
  // One bit is two levels, -1 and +1 apart: one step per unit.
  return std::exp2(bits - 1.0);
}

double StepFor(float rateControl) {
  const double v = std::isfinite(rateControl) ? std::clamp(static_cast<double>(rateControl), 0.0, 1.0) : 1.0;
  return std::exp2(-6.0 * (1.0 - v));
}

}  // namespace kr::dsp::crusher
