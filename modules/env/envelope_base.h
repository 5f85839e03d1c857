// The segment engine of every envelope: the level moves in straight lines
// between segment targets at rates set by voltages, holds at the sustain
// segment while the gate is on, and falls to 0 at the end segment.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "dsp/envelope_segment.h"
#include "engine/container_hooks.h"
#include "engine/ug_base.h"

namespace kr {

class ug_envelope_base : public ug_base {
 public:
  static constexpr int kMaxSegments = 8;
  static constexpr int kFastReleaseSamples = 15;

  void Open() override;
  void Close() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void HandleEvent(ug_event* event) override;

  // A re-struck voice: fall to 0 in 15 samples from time on.
  void FastRelease(int time);

  // The step per sample for a rate sample (kr::dsp::EnvelopeRateToStep).
  static float RateToStep(float rate, double sampleRate);

  float Level() const { return ramp_.level; }
  int CurrentSegment() const { return cur_; }
  bool Holding() const { return holding_; }

 protected:
  struct Segment {
    UPlug* ratePlug = nullptr;
    UPlug* levelPlug = nullptr;  // absent: fixedLevel is the target
    float fixedLevel = 0.0f;
    float fixedStep = 0.0f;  // used when there is no rate plug (level units per sample)
    const float* rate = nullptr;
    const float* level = nullptr;
  };

  // Derived classes fill segments_, sustain_ and end_ before the base Open.
  std::array<Segment, kMaxSegments + 1> segments_{};
  int sustain_ = kMaxSegments + 2;  // >= end_: no sustain
  int end_ = 0;

  double SampleRate() const;
  // Keeps the engine consistent after sustain_ or end_ changed while running.
  void SegmentLayoutChanged(int time);

 private:
  using SegmentFn = int (ug_envelope_base::*)(int offset, int count);

  void Runner(int offset, int count);
  void GateScanner(int offset, int count);
  void SetGate(int time, bool on);
  void NextSegment(int time);
  void StartSegment(int time, bool fast);
  float ValueAt(const float* buffer, int time) const;
  int TimeAt(int index) const { return PeriodStart() + index; }

  template <bool OverallRun>
  int RampFixed(int offset, int count);
  template <bool LevelRun, bool RateRun, bool OverallRun>
  int RampTracking(int offset, int count);
  int HoldConstant(int offset, int count);
  template <bool OverallRun>
  int HoldFollow(int offset, int count);
  int HoldOverall(int offset, int count);
  void FinishRamp(int index, float overall);

  UPlug* outPlug_ = nullptr;
  UPlug* gatePlug_ = nullptr;
  UPlug* overallPlug_ = nullptr;
  float* out_ = nullptr;
  const float* gate_ = nullptr;
  const float* overall_ = nullptr;

  SegmentFn segment_ = &ug_envelope_base::HoldConstant;
  int cur_ = 0;
  kr::dsp::EnvelopeRamp ramp_;
  float overallValue_ = 1.0f;
  int settleLeft_ = 0;
  bool holding_ = true;
  bool fastRamp_ = false;
  bool gateOn_ = false;
  bool released_ = true;
  bool fastRelease_ = false;
  bool gateStreams_ = false;
};

// Envelopes whose segments come from their own rate and level inputs.
class ug_envelope : public ug_envelope_base {
 public:
  void Open() override;

 protected:
  // From Open: GUI thread, engine stopped.
  virtual void ConfigureSegments() = 0;
};

}  // namespace kr
