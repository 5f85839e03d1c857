// The output smoother's arithmetic: a value that moves towards a target at
// once (step), along a straight line or along a smoothstep curve (by forward
// differences), and once it rests is written for one settle period more.
#pragma once

namespace kr::dsp {

enum class SmoothMode { kStep = 0, kLinear = 1, kSmoothstep = 2 };

struct SmootherState {
  float current = 0.0f;
  float target = 0.0f;
  int remaining = 0;
  // Forward differences of the curve: running value and three differences.
  float value = 0.0f;
  float d1 = 0.0f;
  float d2 = 0.0f;
  float d3 = 0.0f;
  bool active = false;
  int settle = 0;  // samples of the resting value still to write
};

enum class SmoothStart { kUnchanged, kStepped, kMoving };

// Heads for value over length samples; settleLength is the settle period a
// step starts. Answers what changed (a step rests at once, from this sample).
SmoothStart StartSmoothing(SmootherState& s, float value, int length, SmoothMode mode, int settleLength);

// Writes count samples; answers the index after the sample on which the
// value arrived (where it rests from), or -1 when it did not arrive.
int ProcessSmoothing(SmootherState& s, float* out, int count, int settleLength);

}  // namespace kr::dsp
