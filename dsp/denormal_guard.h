// The guard that keeps decaying states out of the subnormal range:
// (v + 1e-18) - 1e-18 turns anything too small to change the sum into 0.
// The builds keep float arithmetic in SSE registers and never use
// fast-math, or the sum would be kept wider or folded away.
#pragma once

namespace kr::dsp {

// Single precision: values below about 1e-24 become 0.
constexpr float kDenormalGuard = 1e-18f;
inline float Undenormal(float v) {
  v += kDenormalGuard;
  return v - kDenormalGuard;
}

// Double states: values below about 2e-34 become 0.
inline double UndenormalDouble(double v) {
  v += 1e-18;
  return v - 1e-18;
}

}  // namespace kr::dsp
