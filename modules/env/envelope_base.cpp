#include "modules/env/envelope_base.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/audio_master.h"

namespace {

// Levels from inputs may be anything; a target that is not a number is 0.
float Finite(float v) { return std::isfinite(v) ? v : 0.0f; }

// Whole samples of a ramp: at least 1, never beyond the 32-bit count.
int SampleCount(double samples) {
  if (!(samples >= 1.0)) return 1;
  if (samples >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(samples);
}

}  // namespace

float ug_envelope_base::RateToStep(float rate, double sampleRate) {
  const double seconds = std::exp2((static_cast<double>(rate) * 10.0 * 12000.0 * 0.1 - 8000.0) / 1200.0);
  const double step = 1.0 / (seconds * sampleRate);
  // A rate so slow it rounds to nothing still moves (a step of 0 would never end).
  if (!(step > 1e-12)) return 1e-12f;
  return static_cast<float>(std::min(step, 1e6));
}

double ug_envelope_base::SampleRate() const {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  return rate > 0.0 ? rate : 44100.0;
}

void ug_envelope_base::Open() {
  InterfaceList list;
  ListInterface(list);
  for (std::size_t i = 0; i < list.size() && i < plugs.size(); ++i) {
    if (list[i].name == "Signal Out") outPlug_ = plugs[i].get();
    if (list[i].name == "Gate") gatePlug_ = plugs[i].get();
    if (list[i].name == "Overall Level") overallPlug_ = plugs[i].get();
  }
  SetProcessFunction(&ug_envelope_base::Runner);
  ug_base::Open();
  out_ = outPlug_ != nullptr ? outPlug_->GetSampleBuffer() : nullptr;
  gate_ = gatePlug_ != nullptr ? gatePlug_->GetSampleBuffer() : nullptr;
  overall_ = overallPlug_ != nullptr ? overallPlug_->GetSampleBuffer() : nullptr;
  for (Segment& s : segments_) {
    s.rate = s.ratePlug != nullptr ? s.ratePlug->GetSampleBuffer() : nullptr;
    s.level = s.levelPlug != nullptr ? s.levelPlug->GetSampleBuffer() : nullptr;
  }
  end_ = std::clamp(end_, 0, kMaxSegments);
  cur_ = end_;
  level_ = 0.0f;
  released_ = true;
  gateOn_ = false;
  fastRelease_ = false;
  holding_ = true;
  settleCount = BlockLength();
  StartSegment(clock, false);
  ContainerHook(kHookAttachEnvelope);
}

void ug_envelope_base::Close() {
  ContainerHook(kHookDetachEnvelope);
  ug_base::Close();
}

float ug_envelope_base::ValueAt(const float* buffer, int time) const {
  if (buffer == nullptr) return 0.0f;
  const int index = std::clamp(time - PeriodStart(), 0, BlockLength() - 1);
  return buffer[index];
}

void ug_envelope_base::HandleEvent(ug_event* event) {
  if (event->type == UET_NOTE_RESTRIKE) {
    Wake();
    FastRelease(event->time);
    return;
  }
  ug_base::HandleEvent(event);
}

void ug_envelope_base::FastRelease(int time) {
  released_ = true;
  if (cur_ < end_ || level_ != 0.0f) {
    cur_ = end_ - 1;
    fastRelease_ = true;
    NextSegment(time);
  }
}

void ug_envelope_base::OnPlugStateChange(int time, connector* c, PlugState state) {
  const UPlug* plug = c != nullptr ? c->to : nullptr;
  if (plug == nullptr) return;
  if (plug == gatePlug_) {
    gateStreams_ = state == ST_RUN;
    SetProcessFunction(gateStreams_ ? &ug_envelope_base::GateScanner : &ug_envelope_base::Runner);
    if (!gateStreams_) SetGate(time, ValueAt(gate_, time) > 0.0f);
    return;
  }
  if (cur_ >= end_ && holding_) return;  // idle: nothing else matters
  if (fastRamp_) return;                 // a fast release runs its 15 samples regardless
  const Segment& s = segments_[static_cast<std::size_t>(std::clamp(cur_, 0, kMaxSegments))];
  if (plug == overallPlug_ || plug == s.ratePlug || plug == s.levelPlug) StartSegment(time, false);
}

void ug_envelope_base::SegmentLayoutChanged(int time) {
  end_ = std::clamp(end_, 0, kMaxSegments);
  if (cur_ > end_) {
    cur_ = end_;
    StartSegment(time, false);
  }
}

void ug_envelope_base::SetGate(int time, bool on) {
  gateOn_ = on;
  if (on && released_) {
    released_ = false;
    fastRelease_ = false;
    cur_ = -1;  // segment 0 starts from the current level
    NextSegment(time);
  } else if (!on && !released_) {
    released_ = true;
    if (cur_ != sustain_ || sustain_ >= end_) cur_ = end_ - 1;
    NextSegment(time);
  }
}

void ug_envelope_base::NextSegment(int time) {
  const bool fast = fastRelease_;
  holding_ = true;
  if (cur_ < end_) {
    if (cur_ == sustain_) {
      if (!gateOn_ || fastRelease_) {
        ++cur_;
        holding_ = false;
      }
    } else {
      ++cur_;
      holding_ = false;
    }
  }
  // The flag lives until the fall it asked for has started.
  if (cur_ >= end_) fastRelease_ = false;
  if (!gateStreams_) SetProcessFunction(&ug_envelope_base::Runner);
  StartSegment(time, fast && !holding_);
}

void ug_envelope_base::StartSegment(int time, bool fast) {
  const std::size_t index = static_cast<std::size_t>(std::clamp(cur_, 0, kMaxSegments));
  const Segment& s = segments_[index];
  const bool atEnd = cur_ >= end_;
  const bool levelStreams = !atEnd && s.levelPlug != nullptr && s.levelPlug->state == ST_RUN;
  const bool overallStreams = overallPlug_ != nullptr && overallPlug_->state == ST_RUN;
  target_ = atEnd ? 0.0f : Finite(s.levelPlug != nullptr ? ValueAt(s.level, time) : s.fixedLevel);
  overallValue_ = overallPlug_ != nullptr ? ValueAt(overall_, time) : 1.0f;
  fastRamp_ = false;
  SetProcessFunction(gateStreams_ ? &ug_envelope_base::GateScanner : &ug_envelope_base::Runner);

  if (holding_) {
    if (levelStreams) {
      segment_ = overallStreams ? &ug_envelope_base::HoldFollow<true> : &ug_envelope_base::HoldFollow<false>;
    } else if (overallStreams && cur_ == sustain_) {
      segment_ = &ug_envelope_base::HoldOverall;
    } else {
      level_ = target_;
      outValue_ = level_ * overallValue_;
      settleLeft_ = BlockLength();
      segment_ = &ug_envelope_base::HoldConstant;
      // A step, so that readers see the new constant even after a hold.
      if (outPlug_ != nullptr) outPlug_->SetState(time, ST_STATIC);
      return;
    }
    if (outPlug_ != nullptr) outPlug_->SetState(time, ST_RUN);
    return;
  }

  if (outPlug_ != nullptr) outPlug_->SetState(time, ST_RUN);
  const bool rateStreams = s.ratePlug != nullptr && s.ratePlug->state == ST_RUN;
  if (fast) {
    fastRamp_ = true;
    target_ = 0.0f;
    step_ = -level_ * (1.0f / kFastReleaseSamples);
    left_ = kFastReleaseSamples;
  } else if (levelStreams || rateStreams) {
    step_ = s.ratePlug != nullptr ? RateToStep(ValueAt(s.rate, time), SampleRate()) : s.fixedStep;
    if (levelStreams) {
      if (rateStreams)
        segment_ = overallStreams ? &ug_envelope_base::RampTracking<true, true, true>
                                  : &ug_envelope_base::RampTracking<true, true, false>;
      else
        segment_ = overallStreams ? &ug_envelope_base::RampTracking<true, false, true>
                                  : &ug_envelope_base::RampTracking<true, false, false>;
    } else {
      segment_ = overallStreams ? &ug_envelope_base::RampTracking<false, true, true>
                                : &ug_envelope_base::RampTracking<false, true, false>;
    }
    return;
  } else {
    const float magnitude = s.ratePlug != nullptr ? RateToStep(ValueAt(s.rate, time), SampleRate()) : s.fixedStep;
    step_ = target_ >= level_ ? magnitude : -magnitude;
    left_ = step_ != 0.0f ? SampleCount((static_cast<double>(target_) - level_) / step_) : INT_MAX;
  }
  outStep_ = step_ * overallValue_;
  outValue_ = level_ * overallValue_;
  segment_ = overallStreams ? &ug_envelope_base::RampFixed<true> : &ug_envelope_base::RampFixed<false>;
}

void ug_envelope_base::Runner(int offset, int count) {
  while (count > 0) {
    const int done = (this->*segment_)(offset, count);
    offset += done;
    count -= done;
  }
}

void ug_envelope_base::GateScanner(int offset, int count) {
  const int end = offset + count;
  int i = offset;
  while (i < end) {
    int j = i;
    while (j < end && (gate_[j] > 0.0f) == gateOn_) ++j;
    if (j > i) Runner(i, j - i);
    if (j == end) return;
    SetGate(TimeAt(j), gate_[j] > 0.0f);
    SetProcessFunction(&ug_envelope_base::GateScanner);
    i = j;
  }
}

void ug_envelope_base::FinishRamp(int index, float overall) {
  level_ = target_;
  out_[index] = target_ * overall;
  NextSegment(TimeAt(index + 1));
}

template <bool OverallRun>
int ug_envelope_base::RampFixed(int offset, int count) {
  const int n = std::min(count, left_);
  float* out = out_ + offset;
  if constexpr (OverallRun) {
    const float* overall = overall_ + offset;
    for (int k = 0; k < n; ++k) {
      level_ += step_;
      out[k] = level_ * overall[k];
    }
  } else {
    // Per sample, so the level is the same however the blocks are cut.
    for (int k = 0; k < n; ++k) {
      level_ += step_;
      outValue_ += outStep_;
      out[k] = outValue_;
    }
  }
  left_ -= n;
  if (left_ == 0) FinishRamp(offset + n - 1, OverallRun ? overall_[offset + n - 1] : overallValue_);
  return n;
}

template <bool LevelRun, bool RateRun, bool OverallRun>
int ug_envelope_base::RampTracking(int offset, int count) {
  const std::size_t index = static_cast<std::size_t>(std::clamp(cur_, 0, kMaxSegments));
  const float* rate = segments_[index].rate;
  const float* level = segments_[index].level;
  const double sampleRate = SampleRate();
  float magnitude = std::fabs(step_);
  for (int k = offset; k < offset + count; ++k) {
    if constexpr (RateRun) magnitude = RateToStep(rate[k], sampleRate);
    if constexpr (LevelRun) target_ = Finite(level[k]);
    const float overall = OverallRun ? overall_[k] : overallValue_;
    const bool rising = level_ < target_;
    const float next = rising ? level_ + magnitude : level_ - magnitude;
    if (rising ? next >= target_ : next <= target_) {
      FinishRamp(k, overall);
      return k + 1 - offset;
    }
    level_ = next;
    out_[k] = level_ * overall;
  }
  return count;
}

int ug_envelope_base::HoldConstant(int offset, int count) {
  if (settleLeft_ > 0) {
    const int n = std::min(count, settleLeft_);
    std::fill_n(out_ + offset, n, outValue_);
    settleLeft_ -= n;
  }
  // Every position of the block holds the value: stop unless the gate is watched.
  if (settleLeft_ == 0 && !gateStreams_) SleepCheck(offset, count);
  return count;
}

template <bool OverallRun>
int ug_envelope_base::HoldFollow(int offset, int count) {
  const std::size_t index = static_cast<std::size_t>(std::clamp(cur_, 0, kMaxSegments));
  const float* level = segments_[index].level;
  for (int k = offset; k < offset + count; ++k) {
    level_ = Finite(level[k]);
    out_[k] = level_ * (OverallRun ? overall_[k] : overallValue_);
  }
  return count;
}

int ug_envelope_base::HoldOverall(int offset, int count) {
  for (int k = offset; k < offset + count; ++k) out_[k] = level_ * overall_[k];
  return count;
}

void ug_envelope::Open() {
  ConfigureSegments();
  ug_envelope_base::Open();
}
