// The four-stage ladder low-pass ("Moog Filter"): four one-pole stages with
// resonance feedback from the last stage and a soft clip on the output.
#pragma once

#include <cmath>
#include <memory>

#include "dsp/filter_cutoff.h"

namespace kr::dsp {

struct LadderState {
  float uPrev = 0.0f;  // the previous input after feedback
  float y1 = 0.0f, y2 = 0.0f, y3 = 0.0f, y4 = 0.0f;
};

struct LadderCoefficients {
  float k = -1.0f;
  float p = 0.0f;
  float feedback = 0.0f;  // R = resonance x scale
};

class LadderTuning {
 public:
  explicit LadderTuning(double sampleRate);  // obtains the shared tables: not on the audio thread

  LadderCoefficients Coefficients(float pitch, float resonance, bool voltsPerKHz) const;
  double SampleRate() const { return sampleRate_; }

  // The direct formulas from f = 2 fc / fs (also what the tables hold).
  static float K(double f) { return static_cast<float>(3.6 * f - 1.6 * f * f - 1.0); }
  static float Scale(float p) { return static_cast<float>(std::exp((1.0 - p) * 1.386249)); }

 private:
  double sampleRate_;
  std::shared_ptr<const ULookup> kp_;
  std::shared_ptr<const ULookup> scale_;
};

// y - y^3/6, or 0 where that would flip the sign. Below 1e-6 the cube is
// far under half a unit in the last place of y, so y comes back unchanged,
// and the cube of a decaying state would be subnormal: skip it.
inline float LadderSoftClip(float y) {
  if (std::fabs(y) < 1e-6f) return y;
  const float clipped = y - y * y * y * (1.0f / 6.0f);
  return clipped * y < 0.0f ? 0.0f : clipped;
}

inline float LadderStep(LadderState& s, const LadderCoefficients& c, float x) {
  const float u = x - c.feedback * s.y4;
  const float o1 = s.y1, o2 = s.y2, o3 = s.y3;
  s.y1 = c.p * (u + s.uPrev) - c.k * o1;
  s.y2 = c.p * (s.y1 + o1) - c.k * o2;
  s.y3 = c.p * (s.y2 + o2) - c.k * o3;
  s.y4 = LadderSoftClip(c.p * (s.y3 + o3) - c.k * s.y4);
  s.uPrev = u;
  return s.y4;
}

inline void LadderFlush(LadderState& s) {
  s.uPrev = Undenormal(s.uPrev);
  s.y1 = Undenormal(s.y1);
  s.y2 = Undenormal(s.y2);
  s.y3 = Undenormal(s.y3);
  s.y4 = Undenormal(s.y4);
}

}  // namespace kr::dsp
