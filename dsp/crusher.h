// The "Thrasher"'s arithmetic: a sample-rate reducer (each taken sample is
// held until the next is due) followed by a word-length reducer (the held
// value rounded to a number of levels). Controls are sample values (1.0 is
// 10 V): "Bits" 0 V gives 1 bit, 10 V 16 bits; "Rate" 10 V takes every
// sample, 0 V one sample in 64 (an octave per 1.67 V).
#pragma once

#include <cmath>

namespace kr::dsp::crusher {

struct State {
  float held = 0.0f;
  double phase = 1.0;  // at 1 or more the next sample is taken
};

// Quantisation steps per unit for a "Bits" control value.
double LevelsFor(float bitsControl);
// How far the take phase moves per sample for a "Rate" control value (1
// takes every sample, 1/64 the slowest).
double StepFor(float rateControl);

// One output sample from one input sample.
inline float Process(State& s, float in, double levels, double step) {
  if (s.phase >= 1.0) {
    s.phase -= static_cast<int>(s.phase);
    s.held = static_cast<float>(std::round(static_cast<double>(in) * levels) / levels);
  }
  s.phase += step;
  return s.held;
}

}  // namespace kr::dsp::crusher
