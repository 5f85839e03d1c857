#include "modules/midi/output_smoother.h"

#include <algorithm>

#include "engine/uplug.h"

void OutputSmoother::Bind(UPlug* plug, int blockLength) {
  plug_ = plug;
  out_ = plug != nullptr ? plug->GetSampleBuffer() : nullptr;
  blockLength_ = blockLength;
  settle_ = blockLength;
}

void OutputSmoother::Set(int time, float value, int length, Mode mode) {
  if (value == target_ && !active_) return;
  target_ = value;
  if (mode == kStep || length <= 1) {
    // A step: the new value from this sample on.
    current_ = value;
    active_ = false;
    settle_ = blockLength_;
    if (plug_ != nullptr) plug_->SetState(time, ST_STATIC);
    return;
  }
  const float d = value - current_;
  if (mode == kLinear) {
    d1_ = d / static_cast<float>(length);
    value_ = current_ + d1_;
    d2_ = d3_ = 0.0f;
  } else {
    // current + d * (3(k/L)^2 - 2(k/L)^3), k = 1 .. L, by forward differences.
    const float L = static_cast<float>(length);
    const float f = 1.0f / (L * L * L);
    d3_ = -12.0f * d * f;
    value_ = current_ + d * f * (3.0f * L - 2.0f);
    d1_ = d * f * (3.0f * L - 2.0f) + 6.0f * d * f * (L - 2.0f);
    d2_ = -12.0f * d * f + 6.0f * d * f * (L - 2.0f);
  }
  remaining_ = length;
  active_ = true;
  if (plug_ != nullptr) plug_->SetState(time, ST_RUN);
}

void OutputSmoother::Process(int startTime, int offset, int count) {
  if (out_ == nullptr || count <= 0) return;
  int i = 0;
  for (; i < count && active_; ++i) {
    if (--remaining_ <= 0) {
      // Arrived: the target exactly, announced as a step after this sample.
      current_ = target_;
      out_[offset + i] = current_;
      active_ = false;
      settle_ = blockLength_;
      if (plug_ != nullptr) plug_->SetState(startTime + i + 1, ST_STATIC);
      continue;
    }
    current_ = value_;
    out_[offset + i] = current_;
    value_ += d1_;
    d1_ += d2_;
    d2_ += d3_;
  }
  if (i < count && settle_ > 0) {
    const int n = count - i;
    std::fill_n(out_ + offset + i, n, current_);
    settle_ -= n;
  }
}
