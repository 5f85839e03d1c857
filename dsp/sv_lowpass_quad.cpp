#include "dsp/sv_lowpass_quad.h"

#include <algorithm>
#include <cstring>

namespace kr::dsp {

namespace {

struct M2 {
  double a, b, c, d;  // [[a, b], [c, d]]
  M2 operator*(const M2& o) const {
    return {a * o.a + b * o.c, a * o.b + b * o.d, c * o.a + d * o.c, c * o.b + d * o.d};
  }
};

}  // namespace

void SvLowPassQuad::SetCoefficients(float fIn, float qIn) {
  const double f = fIn, q = qIn;
  const M2 a{1.0, f, -f, 1.0 - f * q - f * f};
  // powers[k] = A^k, k = 0 ... 4; A^k B = f x (column 1 of A^k).
  M2 powers[kLanes + 1] = {{1.0, 0.0, 0.0, 1.0}};
  for (int k = 1; k <= kLanes; ++k) powers[k] = powers[k - 1] * a;
  for (int lane = 0; lane < kLanes; ++lane) {
    const M2& p = powers[lane + 1];
    pl_[lane] = static_cast<float>(p.a);
    ql_[lane] = static_cast<float>(p.b);
    pb_[lane] = static_cast<float>(p.c);
    qb_[lane] = static_cast<float>(p.d);
    for (int j = 0; j < kLanes; ++j) {
      // Input j (the sample of lane j) reaches lane k through A^(k - j) B.
      const bool reaches = j <= lane;
      const M2& q2 = powers[reaches ? lane - j : 0];
      xl_[j][lane] = reaches ? static_cast<float>(q2.b * f) : 0.0f;
      xb_[j][lane] = reaches ? static_cast<float>(q2.d * f) : 0.0f;
    }
  }
}

void SvLowPassQuad::Start(const SvState& s, int time) {
  start_ = s;
  length_ = kLanes - static_cast<int>(static_cast<unsigned>(time) % kLanes);
  have_ = 0;
  pending_ = Lanes{};
}

void SvLowPassQuad::Evaluate(Lanes& lp, Lanes& bp) const {
  const float l = start_.lp, b = start_.bp;
  const float x0 = pending_[0], x1 = pending_[1], x2 = pending_[2], x3 = pending_[3];
  lp = (pl_ * l + ql_ * b) + (xl_[0] * x0 + (xl_[1] * x1 + xl_[2] * x2));
  bp = (pb_ * l + qb_ * b) + ((xb_[0] * x0 + xb_[1] * x1) + (xb_[2] * x2 + xb_[3] * x3));
}

int SvLowPassQuad::RunWhole(const float* x, float* out, int count, unsigned time) {
  // The coefficients and the state in locals, so they stay in registers.
  const Lanes pl = pl_, ql = ql_, pb = pb_, qb = qb_;
  const Lanes xl0 = xl_[0], xl1 = xl_[1], xl2 = xl_[2];
  const Lanes xb0 = xb_[0], xb1 = xb_[1], xb2 = xb_[2], xb3 = xb_[3];
  float l = start_.lp, b = start_.bp;
  int i = 0;
  for (; i + kLanes <= count; i += kLanes, time += kLanes) {
    if (time % kFlushEvery == 0) {
      l = Undenormal(l);
      b = Undenormal(b);
    }
    Lanes in;
    std::memcpy(&in, x + i, sizeof in);
    const float x0 = in[0], x1 = in[1], x2 = in[2], x3 = in[3];
    const Lanes lp = (pl * l + ql * b) + (xl0 * x0 + (xl1 * x1 + xl2 * x2));
    const Lanes bp = (pb * l + qb * b) + ((xb0 * x0 + xb1 * x1) + (xb2 * x2 + xb3 * x3));
    std::memcpy(out + i, &lp, sizeof lp);
    l = lp[3];
    b = bp[3];
  }
  start_ = {l, b};
  return i;
}

SvState SvLowPassQuad::Current() const {
  if (have_ == 0) return start_;
  Lanes lp, bp;
  Evaluate(lp, bp);
  return {lp[have_ - 1], bp[have_ - 1]};
}

void SvLowPassQuad::Run(const float* x, float* out, int offset, int count, int time) {
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
    for (int k = 0; k < take; ++k) pending_[have_ + k] = x[i + k];
    const int first = have_;
    have_ += take;
    Lanes lp, bp;
    Evaluate(lp, bp);
    for (int k = first; k < have_; ++k) out[i + k - first] = lp[k];
    i += take;
    if (have_ == length_) {
      start_ = {lp[have_ - 1], bp[have_ - 1]};
      have_ = 0;
      length_ = kLanes;
      pending_ = Lanes{};
    }
  }
}

}  // namespace kr::dsp
