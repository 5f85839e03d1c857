// The peaking equaliser ("Parametric EQ"): the Audio EQ Cookbook's peaking
// biquad, centre frequency from a pitch sample, bandwidth in octaves from the
// resonance (its value in volts) and gain from the boost/cut. Kept in double:
// narrow bands at low centre frequencies put the poles very near z = 1.
#pragma once

#include <cmath>

#include "dsp/filter_cutoff.h"

namespace kr::dsp {

struct EqCoefficients {
  double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;  // divided by a0
};

struct EqState {
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
};

// Limits that keep the poles inside the unit circle: the centre strictly
// between 0 and fs/2, a bandwidth above 0, a gain within +-100 dB.
constexpr double kEqMinRatio = 1e-4;        // f0 / fs
constexpr double kEqMaxRatio = 0.49;
constexpr double kEqMinOctaves = 0.01;
constexpr double kEqMaxOctaves = 10.0;
constexpr double kEqMaxSinhArgument = 20.0;

// pitch, resonance and boost are samples (1.0 = 10 V).
EqCoefficients PeakingCoefficients(float pitch, float resonance, float boost, bool voltsPerKHz, double sampleRate);

inline float EqStep(EqState& s, const EqCoefficients& c, float in) {
  const double x = in;
  const double y = c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2;
  s.x2 = s.x1;
  s.x1 = x;
  s.y2 = s.y1;
  s.y1 = y;
  return static_cast<float>(y);
}

inline void EqFlush(EqState& s) {
  s.y1 = UndenormalDouble(s.y1);
  s.y2 = UndenormalDouble(s.y2);
}

// Both histories agree with a constant input x to 1.5e-6 in sum.
inline bool EqConverged(const EqState& s, float x) {
  const double v = x;
  return std::fabs(s.x1 - v) + std::fabs(s.x2 - v) + std::fabs(s.y1 - v) + std::fabs(s.y2 - v) < 1.5e-6;
}

inline void EqSnap(EqState& s, float x) { s.x1 = s.x2 = s.y1 = s.y2 = x; }

}  // namespace kr::dsp
