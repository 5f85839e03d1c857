// The SV filter's low-pass output eight samples at a time. One sample of the
// filter is a 2 x 2 state update (lp' = lp + f bp, bp' = c bp - f lp + f x,
// c = 1 - f q - f^2) whose chain of dependent operations, not the arithmetic,
// limits its speed; eight steps of it are one product with A^8 plus terms in
// the eight inputs, which run side by side in vector lanes.
//
// Samples are grouped on a grid of engine time (groups end on multiples of
// 8), and a group cut by the end of a block keeps its start state and the
// inputs seen so far: every output is computed by the same arithmetic
// whatever the host's block size.
#pragma once

#include "dsp/sv_filter.h"

namespace kr::dsp {

class SvLowPassGroups {
 public:
  static constexpr int kLanes = 8;
  using Lanes = float __attribute__((vector_size(16)));  // four of them; a group is two
  struct Group {
    Lanes lo{}, hi{};  // lanes 0 ... 3 and 4 ... 7
  };
  // The state passes the denormal guard at group starts on multiples of
  // this many samples of engine time.
  static constexpr int kFlushEvery = 32;

  // Lane vectors for the coefficients (computed in double).
  void SetCoefficients(float f, float q);
  // Starts a group at engine time `time` from state s.
  void Start(const SvState& s, int time);
  // The state at the current position (after the samples given so far).
  SvState Current() const;
  // Runs count samples of input x (buffer indices from offset) into out;
  // time is the engine time of x[offset].
  void Run(const float* x, float* out, int offset, int count, int time);

 private:
  // The lanes of lp and of bp for the pending inputs, later ones zero.
  void Evaluate(Group& lp, Group& bp) const;
  // Whole groups from an aligned start; returns the samples done.
  int RunWhole(const float* x, float* out, int count, unsigned time);

  Group pl_, ql_, pb_, qb_;  // the A^k row entries, lane k - 1
  // Input j's share of lane k: (A^(k-j) B). The low-pass never takes a
  // sample's own input (B has no lp part), so xl_[j] is zero up to lane j.
  Group xl_[kLanes], xb_[kLanes];
  SvState start_;
  int length_ = kLanes;  // samples in this group
  int have_ = 0;         // inputs seen in this group
  float pending_[kLanes] = {};  // those inputs, zeros after them
};

}  // namespace kr::dsp
