// The peaking equaliser ("Parametric EQ"): the Audio EQ Cookbook's peaking
// biquad, centre frequency from a pitch sample, bandwidth in octaves from the
// resonance (its value in volts) and gain from the boost/cut.
//
// It runs as the all-pass with the biquad's poles, mixed with the input: the
// cookbook's H(z) is exactly (1 + G)/2 + (1 - G)/2 AP(z), G = A^2 the gain at
// the centre. The all-pass's lattice keeps the states bounded when the
// coefficients move every sample or jump, where the direct form blows up
// (narrow bands at low centre frequencies put its poles very near z = 1),
// and a 0 dB setting passes the input through exactly.
#pragma once

#include <cmath>

#include "dsp/allpass_filter.h"
#include "dsp/filter_cutoff.h"

namespace kr::dsp {

struct EqCoefficients {
  double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;  // divided by a0
  AllpassCoefficients allpass;                             // of 1 + a1 z^-1 + a2 z^-2
  double dry = 1.0, wet = 0.0;                             // (1 + G)/2 and (1 - G)/2
};

struct EqState {
  AllpassState allpass;
};

// Limits that keep the poles inside the unit circle: the centre strictly
// between 0 and fs/2, a bandwidth above 0, a gain within +-100 dB.
constexpr double kEqMinRatio = kAllpassMinRatio;  // f0 / fs
constexpr double kEqMaxRatio = 0.49;
constexpr double kEqMinOctaves = 0.01;
constexpr double kEqMaxOctaves = 10.0;
constexpr double kEqMaxSinhArgument = 20.0;

// pitch, resonance and boost are samples (1.0 = 10 V).
EqCoefficients PeakingCoefficients(float pitch, float resonance, float boost, bool voltsPerKHz, double sampleRate);

inline float EqStep(EqState& s, const EqCoefficients& c, float in) {
  const double x = in;
  return static_cast<float>(c.dry * x + c.wet * AllpassStepDouble(s.allpass, c.allpass, x));
}

inline void EqFlush(EqState& s) { AllpassFlush(s.allpass); }

// The states lie within 1.5e-6 of those a constant input x settles to.
inline bool EqConverged(const EqState& s, const EqCoefficients& c, float x) {
  return AllpassConverged(s.allpass, c.allpass, x);
}

inline void EqSnap(EqState& s, const EqCoefficients& c, float x) { AllpassSnap(s.allpass, c.allpass, x); }

}  // namespace kr::dsp
