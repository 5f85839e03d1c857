// The arithmetic of the small utility modules, in sample units (1.0 = 10 V).
// Every function answers a finite value for finite inputs.
#pragma once

#include <cmath>

namespace kr::dsp {

// "Ring Modulator", "Level Adj": 5 V times 2 V gives 1 V.
inline float RingProduct(float a, float b) { return a * b; }
// "Multiply": the product in volts (5 V times 2 V gives 10 V).
inline float VoltProduct(float a, float b) { return a * b * 10.0f; }
// "Divide": the quotient in volts. Division by zero (an unconnected second
// input reads 0 V) and a quotient too large for a float give 0.
inline float VoltQuotient(float a, float b) {
  if (b == 0.0f) return 0.0f;
  const float q = a / b * 0.1f;
  return std::isfinite(q) ? q : 0.0f;
}
inline float Difference(float a, float b) { return a - b; }

// "Ceil" and "Floor": whole volts, with a small tolerance for values that
// are whole volts but for rounding.
inline float CeilVolts(float x) { return 0.1f * std::ceil(10.0f * x - 6e-7f); }
inline float FloorVolts(float x) { return 0.1f * std::floor(10.0f * x + 6e-7f); }

// "Quantiser": steps of `step` (at least 1e-9; NaN counts as that), the
// nearest step, halves rounding up.
inline float Quantise(float x, float step) {
  const float s = step > 1e-9f ? step : 1e-9f;
  return s * std::floor((x + s * 0.5f) / s);
}

// "Clipper": hi above hi, lo below lo.
inline float Clip(float x, float hi, float lo) { return x > hi ? hi : (x < lo ? lo : x); }

// "Comparator": hi when a > b, lo otherwise (no hysteresis).
inline float Compare(float a, float b, float hi, float lo) { return a > b ? hi : lo; }

}  // namespace kr::dsp
