// One-input, one-output arithmetic ("Signal in" -> "Signal Out") and the
// "Peak Follower".
#pragma once

#include <cmath>
#include <memory>

#include "dsp/arithmetic.h"
#include "dsp/level_meters.h"
#include "engine/ug_generic_1_1.h"

namespace kr {

// "Inverter": -x.
class ug_inverter : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_inverter>(); }
  void BlockFunction(int offset, int count) override {
    for (int i = offset; i < offset + count; ++i) out_ptr[i] = -in_ptr[i];
  }
};

// "Rectifier": |x|.
class ug_rectifier : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_rectifier>(); }
  void BlockFunction(int offset, int count) override {
    for (int i = offset; i < offset + count; ++i) out_ptr[i] = std::fabs(in_ptr[i]);
  }
};

// "Ceil": whole volts upward.
class ug_math_ceil : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_math_ceil>(); }
  void BlockFunction(int offset, int count) override {
    for (int i = offset; i < offset + count; ++i) out_ptr[i] = kr::dsp::CeilVolts(in_ptr[i]);
  }
};

// "Floor": whole volts downward.
class ug_math_floor : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_math_floor>(); }
  void BlockFunction(int offset, int count) override {
    for (int i = offset; i < offset + count; ++i) out_ptr[i] = kr::dsp::FloorVolts(in_ptr[i]);
  }
};

// "Peak Follower": |x| followed with a rise and a fall time ("Attack" and
// "Decay": 1 V is a time constant of 1 ms). With settled inputs it runs until
// it has arrived exactly, then settles and sleeps.
class ug_peak_det : public ug_base {
 public:
  enum PlugIndex { PN_IN, PN_ATTACK, PN_DECAY, PN_OUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_peak_det>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  float Level() const { return follower_.level; }

 private:
  template <bool RatesRun>
  void Render(int offset, int count);
  void Converge(int offset, int count);
  void Settle(int offset, int count);
  void ChooseProcess(int time);

  float* in_ = nullptr;
  float* attack_ = nullptr;
  float* decay_ = nullptr;
  float* out_ = nullptr;
  float attackCoefficient_ = 0.0f;
  float decayCoefficient_ = 0.0f;
  double rate_ = 44100.0;
  kr::dsp::PeakFollower follower_;
  bool settled_ = false;
};

}  // namespace kr
