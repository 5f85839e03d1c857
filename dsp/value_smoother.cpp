#include "dsp/value_smoother.h"

#include <algorithm>

namespace kr::dsp {

SmoothStart StartSmoothing(SmootherState& s, float value, int length, SmoothMode mode, int settleLength) {
  if (value == s.target && !s.active) return SmoothStart::kUnchanged;
  s.target = value;
  if (mode == SmoothMode::kStep || length <= 1) {
    s.current = value;
    s.active = false;
    s.settle = settleLength;
    return SmoothStart::kStepped;
  }
  const float d = value - s.current;
  if (mode == SmoothMode::kLinear) {
    s.d1 = d / static_cast<float>(length);
    s.value = s.current + s.d1;
    s.d2 = s.d3 = 0.0f;
  } else {
    // current + d * (3(k/L)^2 - 2(k/L)^3), k = 1 .. L, by forward differences.
    const float L = static_cast<float>(length);
    const float f = 1.0f / (L * L * L);
    s.d3 = -12.0f * d * f;
    s.value = s.current + d * f * (3.0f * L - 2.0f);
    s.d1 = d * f * (3.0f * L - 2.0f) + 6.0f * d * f * (L - 2.0f);
    s.d2 = -12.0f * d * f + 6.0f * d * f * (L - 2.0f);
  }
  s.remaining = length;
  s.active = true;
  return SmoothStart::kMoving;
}

int ProcessSmoothing(SmootherState& s, float* out, int count, int settleLength) {
  int arrived = -1;
  int i = 0;
  for (; i < count && s.active; ++i) {
    if (--s.remaining <= 0) {
      // Arrived: the target exactly, resting from the next sample.
      s.current = s.target;
      out[i] = s.current;
      s.active = false;
      s.settle = settleLength;
      arrived = i + 1;
      continue;
    }
    s.current = s.value;
    out[i] = s.current;
    s.value += s.d1;
    s.d1 += s.d2;
    s.d2 += s.d3;
  }
  if (i < count && s.settle > 0) {
    const int n = count - i;
    std::fill_n(out + i, n, s.current);
    s.settle -= n;
  }
  return arrived;
}

}  // namespace kr::dsp
