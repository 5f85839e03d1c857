#include "modules/env/envelope_base.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/audio_master.h"
#include "modules/render_table.h"

namespace kr {

using kr::dsp::FiniteLevel;

float ug_envelope_base::RateToStep(float rate, double sampleRate) { return kr::dsp::EnvelopeRateToStep(rate, sampleRate); }

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
  ramp_.level = 0.0f;
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
  if (cur_ < end_ || ramp_.level != 0.0f) {
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
  ramp_.target = atEnd ? 0.0f : FiniteLevel(s.levelPlug != nullptr ? ValueAt(s.level, time) : s.fixedLevel);
  overallValue_ = overallPlug_ != nullptr ? ValueAt(overall_, time) : 1.0f;
  fastRamp_ = false;
  SetProcessFunction(gateStreams_ ? &ug_envelope_base::GateScanner : &ug_envelope_base::Runner);

  if (holding_) {
    if (levelStreams) {
      segment_ = overallStreams ? &ug_envelope_base::HoldFollow<true> : &ug_envelope_base::HoldFollow<false>;
    } else if (overallStreams && cur_ == sustain_) {
      segment_ = &ug_envelope_base::HoldOverall;
    } else {
      ramp_.level = ramp_.target;
      ramp_.outValue = ramp_.level * overallValue_;
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
    ramp_.target = 0.0f;
    ramp_.step = -ramp_.level * (1.0f / kFastReleaseSamples);
    ramp_.left = kFastReleaseSamples;
  } else if (levelStreams || rateStreams) {
    ramp_.step = s.ratePlug != nullptr ? RateToStep(ValueAt(s.rate, time), SampleRate()) : s.fixedStep;
    static constexpr auto kTracking = kr::RenderTable<8>([](auto i) {
      return &ug_envelope_base::RampTracking<kr::Bit<2>(i), kr::Bit<1>(i), kr::Bit<0>(i)>;
    });
    segment_ = kTracking[kr::RunBits(levelStreams, rateStreams, overallStreams)];
    return;
  } else {
    const float magnitude = s.ratePlug != nullptr ? RateToStep(ValueAt(s.rate, time), SampleRate()) : s.fixedStep;
    ramp_.step = ramp_.target >= ramp_.level ? magnitude : -magnitude;
    ramp_.left = ramp_.step != 0.0f
                     ? kr::dsp::RampSampleCount((static_cast<double>(ramp_.target) - ramp_.level) / ramp_.step)
                     : INT_MAX;
  }
  ramp_.outStep = ramp_.step * overallValue_;
  ramp_.outValue = ramp_.level * overallValue_;
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
  ramp_.level = ramp_.target;
  out_[index] = ramp_.target * overall;
  NextSegment(TimeAt(index + 1));
}

template <bool OverallRun>
int ug_envelope_base::RampFixed(int offset, int count) {
  const int n = OverallRun ? kr::dsp::RampFixedScaled(ramp_, overall_ + offset, out_ + offset, count)
                           : kr::dsp::RampFixedHeld(ramp_, out_ + offset, count);
  if (ramp_.left == 0) FinishRamp(offset + n - 1, OverallRun ? overall_[offset + n - 1] : overallValue_);
  return n;
}

template <bool LevelRun, bool RateRun, bool OverallRun>
int ug_envelope_base::RampTracking(int offset, int count) {
  const std::size_t index = static_cast<std::size_t>(std::clamp(cur_, 0, kMaxSegments));
  const float* rate = segments_[index].rate;
  const float* level = segments_[index].level;
  const double sampleRate = SampleRate();
  float magnitude = std::fabs(ramp_.step);
  for (int k = offset; k < offset + count; ++k) {
    if constexpr (RateRun) magnitude = RateToStep(rate[k], sampleRate);
    if constexpr (LevelRun) ramp_.target = FiniteLevel(level[k]);
    const float overall = OverallRun ? overall_[k] : overallValue_;
    if (kr::dsp::RampTowardTarget(ramp_, magnitude)) {
      FinishRamp(k, overall);
      return k + 1 - offset;
    }
    out_[k] = ramp_.level * overall;
  }
  return count;
}

int ug_envelope_base::HoldConstant(int offset, int count) {
  if (settleLeft_ > 0) {
    const int n = std::min(count, settleLeft_);
    std::fill_n(out_ + offset, n, ramp_.outValue);
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
    ramp_.level = FiniteLevel(level[k]);
    out_[k] = ramp_.level * (OverallRun ? overall_[k] : overallValue_);
  }
  return count;
}

int ug_envelope_base::HoldOverall(int offset, int count) {
  for (int k = offset; k < offset + count; ++k) out_[k] = ramp_.level * overall_[k];
  return count;
}

void ug_envelope::Open() {
  ConfigureSegments();
  ug_envelope_base::Open();
}

}  // namespace kr
