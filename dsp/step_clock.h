// Where a sequencer stands in musical time: steps counted from the song's
// start (quarter note 0), at the sample a step begins, and whether its gate
// is open at a point within it.
#pragma once

#include <cstdint>

namespace kr::dsp {

struct StepPosition {
  std::int64_t step = 0;  // may be negative before the song's start
  double fraction = 0.0;  // 0 <= fraction < 1 within the step
};

// A host's position is a sum of products, so a boundary that falls on a
// sample may come out a hair short of it: within this much of a step, the
// next step has begun.
inline constexpr double kStepTolerance = 1e-7;

// Steps per quarter note for steps of 1/division of a whole note (16: sixteenths).
double StepsPerQuarter(int division);

// The position of sample i of a stretch whose first sample stands at
// firstStep, moving stepsPerSample each sample. Positions beyond what an
// int64 counts, and NaN, give step 0.
StepPosition StepAt(double firstStep, double stepsPerSample, int i);

// Whether a note's gate is open at a point of its step: during its first
// `length` of the step (closing on the sample where that ends, with the
// same tolerance), or all the way when the next step carries it on.
inline bool GateOpen(double fraction, double length, bool carriedOn) {
  return carriedOn || fraction + kStepTolerance < length;
}

}  // namespace kr::dsp
