// Drives one audio output towards new values (the arithmetic is
// dsp/value_smoother.h): at once (step), along a straight line, or along a
// smoothstep curve, announcing ST_RUN while it moves and a step when it
// arrives. Once idle it keeps writing its value for one sub-block period, so
// every position of the block holds it.
#pragma once

#include "dsp/value_smoother.h"

namespace kr {

class UPlug;

class OutputSmoother {
 public:
  enum Mode { kStep = 0, kLinear = 1, kSmoothstep = 2 };

  void Init(Mode mode, int defaultLength) {
    mode_ = mode;
    defaultLength_ = defaultLength;
  }
  // Binds the output plug (at Open) and the sub-block length.
  void Bind(UPlug* plug, int blockLength);

  // Moves towards value from time t over the default length and mode.
  void Set(int time, float value) { Set(time, value, mode_ == kStep ? 0 : defaultLength_, mode_); }
  void Set(int time, float value, int length, Mode mode);
  // A step to value at time t, whatever the mode.
  void Jump(int time, float value) { Set(time, value, 0, kStep); }

  // Writes count samples from buffer offset; startTime is the time of the first.
  void Process(int startTime, int offset, int count);
  bool Finished() const { return !state_.active && state_.settle <= 0; }
  bool Moving() const { return state_.active; }
  float Current() const { return state_.current; }
  float Target() const { return state_.target; }

 private:
  UPlug* plug_ = nullptr;
  float* out_ = nullptr;
  Mode mode_ = kStep;
  int defaultLength_ = 1;
  int blockLength_ = 1;
  kr::dsp::SmootherState state_;
};

}  // namespace kr
