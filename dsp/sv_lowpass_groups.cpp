#include "dsp/sv_lowpass_groups.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kr::dsp {

namespace {

using Lanes = SvLowPassGroups::Lanes;

struct M2 {
  double a, b, c, d;  // [[a, b], [c, d]]
  M2 operator*(const M2& o) const {
    return {a * o.a + b * o.c, a * o.b + b * o.d, c * o.a + d * o.c, c * o.b + d * o.d};
  }
};

// (Vector lanes take no references: set them by value.)
void SetLane(SvLowPassGroups::Group& g, int k, float v) {
  if (k < 4) {
    g.lo[k] = v;
  } else {
    g.hi[k - 4] = v;
  }
}
float LaneOf(const SvLowPassGroups::Group& g, int k) { return k < 4 ? g.lo[k] : g.hi[k - 4]; }

}  // namespace

void SvLowPassGroups::SetCoefficients(float fIn, float qIn) {
  const double f = fIn, q = qIn;
  const M2 a{1.0, f, -f, 1.0 - f * q - f * f};
  M2 powers[kLanes + 1] = {{1.0, 0.0, 0.0, 1.0}};
  for (int k = 1; k <= kLanes; ++k) powers[k] = powers[k - 1] * a;
  for (int lane = 0; lane < kLanes; ++lane) {
    const M2& p = powers[lane + 1];
    SetLane(pl_, lane, static_cast<float>(p.a));
    SetLane(ql_, lane, static_cast<float>(p.b));
    SetLane(pb_, lane, static_cast<float>(p.c));
    SetLane(qb_, lane, static_cast<float>(p.d));
    for (int j = 0; j < kLanes; ++j) {
      // Input j (the sample of lane j) reaches lane k through A^(k - j) B, B = (0, f).
      const bool reaches = j <= lane;
      const M2& q2 = powers[reaches ? lane - j : 0];
      SetLane(xl_[j], lane, reaches ? static_cast<float>(q2.b * f) : 0.0f);
      SetLane(xb_[j], lane, reaches ? static_cast<float>(q2.d * f) : 0.0f);
    }
  }
}

void SvLowPassGroups::Start(const SvState& s, int time) {
  start_ = s;
  length_ = kLanes - static_cast<int>(static_cast<unsigned>(time) % kLanes);
  have_ = 0;
  std::fill(std::begin(pending_), std::end(pending_), 0.0f);
}

void SvLowPassGroups::Evaluate(Group& lp, Group& bp) const {
  const float l = start_.lp, b = start_.bp;
  const float* x = pending_;
  // Every lane of every term: lane by lane is the same arithmetic as the
  // vector code below (each lane of a vector operation is one float operation).
  auto term = [](const Group& g, int k, float v) { return LaneOf(g, k) * v; };
  for (int k = 0; k < kLanes; ++k) {
    const Group* xl = xl_;
    const Group* xb = xb_;
    const float statePartL = term(pl_, k, l) + term(ql_, k, b);
    const float statePartB = term(pb_, k, l) + term(qb_, k, b);
    float inL, inB;
    if (k < 4) {
      inL = (term(xl[0], k, x[0]) + term(xl[1], k, x[1])) + term(xl[2], k, x[2]);
      inB = (term(xb[0], k, x[0]) + term(xb[1], k, x[1])) + (term(xb[2], k, x[2]) + term(xb[3], k, x[3]));
    } else {
      inL = ((term(xl[0], k, x[0]) + term(xl[1], k, x[1])) + (term(xl[2], k, x[2]) + term(xl[3], k, x[3]))) +
            ((term(xl[4], k, x[4]) + term(xl[5], k, x[5])) + term(xl[6], k, x[6]));
      inB = ((term(xb[0], k, x[0]) + term(xb[1], k, x[1])) + (term(xb[2], k, x[2]) + term(xb[3], k, x[3]))) +
            ((term(xb[4], k, x[4]) + term(xb[5], k, x[5])) + (term(xb[6], k, x[6]) + term(xb[7], k, x[7])));
    }
    SetLane(lp, k, statePartL + inL);
    SetLane(bp, k, statePartB + inB);
  }
}

SvState SvLowPassGroups::Current() const {
  if (have_ == 0) return start_;
  Group lp, bp;
  Evaluate(lp, bp);
  return {LaneOf(lp, have_ - 1), LaneOf(bp, have_ - 1)};
}

int SvLowPassGroups::RunWhole(const float* x, float* out, int count, unsigned time) {
  int i = 0;
#if defined(__SSE2__)
  // The same tree as Evaluate, four lanes an instruction; the state stays
  // broadcast in registers from one group to the next.
  __m128 l = _mm_set1_ps(start_.lp), b = _mm_set1_ps(start_.bp);
  const __m128 guard = _mm_set1_ps(kDenormalGuard);
  auto ld = [](const Lanes& v) { return _mm_load_ps(reinterpret_cast<const float*>(&v)); };
  for (; i + kLanes <= count; i += kLanes, time += kLanes) {
    if (time % kFlushEvery == 0) {
      l = _mm_sub_ps(_mm_add_ps(l, guard), guard);
      b = _mm_sub_ps(_mm_add_ps(b, guard), guard);
    }
    const __m128 in0 = _mm_loadu_ps(x + i), in1 = _mm_loadu_ps(x + i + 4);
    const __m128 x0 = _mm_shuffle_ps(in0, in0, 0x00), x1 = _mm_shuffle_ps(in0, in0, 0x55);
    const __m128 x2 = _mm_shuffle_ps(in0, in0, 0xAA), x3 = _mm_shuffle_ps(in0, in0, 0xFF);
    const __m128 x4 = _mm_shuffle_ps(in1, in1, 0x00), x5 = _mm_shuffle_ps(in1, in1, 0x55);
    const __m128 x6 = _mm_shuffle_ps(in1, in1, 0xAA), x7 = _mm_shuffle_ps(in1, in1, 0xFF);
    auto m = [](__m128 a, __m128 c) { return _mm_mul_ps(a, c); };
    auto p = [](__m128 a, __m128 c) { return _mm_add_ps(a, c); };
    const __m128 lpLo = p(p(m(ld(pl_.lo), l), m(ld(ql_.lo), b)),
                          p(p(m(ld(xl_[0].lo), x0), m(ld(xl_[1].lo), x1)), m(ld(xl_[2].lo), x2)));
    const __m128 lpHi =
        p(p(m(ld(pl_.hi), l), m(ld(ql_.hi), b)),
          p(p(p(m(ld(xl_[0].hi), x0), m(ld(xl_[1].hi), x1)), p(m(ld(xl_[2].hi), x2), m(ld(xl_[3].hi), x3))),
            p(p(m(ld(xl_[4].hi), x4), m(ld(xl_[5].hi), x5)), m(ld(xl_[6].hi), x6))));
    const __m128 bpHi =
        p(p(m(ld(pb_.hi), l), m(ld(qb_.hi), b)),
          p(p(p(m(ld(xb_[0].hi), x0), m(ld(xb_[1].hi), x1)), p(m(ld(xb_[2].hi), x2), m(ld(xb_[3].hi), x3))),
            p(p(m(ld(xb_[4].hi), x4), m(ld(xb_[5].hi), x5)), p(m(ld(xb_[6].hi), x6), m(ld(xb_[7].hi), x7)))));
    _mm_storeu_ps(out + i, lpLo);
    _mm_storeu_ps(out + i + 4, lpHi);
    l = _mm_shuffle_ps(lpHi, lpHi, 0xFF);
    b = _mm_shuffle_ps(bpHi, bpHi, 0xFF);
  }
  start_ = {_mm_cvtss_f32(l), _mm_cvtss_f32(b)};
#else
  for (; i + kLanes <= count; i += kLanes, time += kLanes) {
    if (time % kFlushEvery == 0) SvFlush(start_);
    std::copy_n(x + i, kLanes, pending_);
    Group lp, bp;
    Evaluate(lp, bp);
    std::memcpy(out + i, &lp.lo, sizeof lp.lo);
    std::memcpy(out + i + 4, &lp.hi, sizeof lp.hi);
    start_ = {lp.hi[3], bp.hi[3]};
  }
  std::fill(std::begin(pending_), std::end(pending_), 0.0f);
#endif
  return i;
}

void SvLowPassGroups::Run(const float* x, float* out, int offset, int count, int time) {
  int i = offset;
  const int end = offset + count;
  while (i < end) {
    const auto now = static_cast<unsigned>(time + (i - offset));
    if (have_ == 0 && length_ == kLanes && i + kLanes <= end) {
      i += RunWhole(x + i, out + i, end - i, now);
      continue;
    }
    if (have_ == 0 && now % kFlushEvery == 0) SvFlush(start_);
    const int take = std::min(length_ - have_, end - i);
    std::copy_n(x + i, take, pending_ + have_);
    const int first = have_;
    have_ += take;
    Group lp, bp;
    Evaluate(lp, bp);
    for (int k = first; k < have_; ++k) out[i + k - first] = LaneOf(lp, k);
    i += take;
    if (have_ == length_) {
      start_ = {LaneOf(lp, have_ - 1), LaneOf(bp, have_ - 1)};
      have_ = 0;
      length_ = kLanes;
      std::fill(std::begin(pending_), std::end(pending_), 0.0f);
    }
  }
}

}  // namespace kr::dsp
