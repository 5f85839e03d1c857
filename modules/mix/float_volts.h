// The converters between panel values and voltages. FloatToVolts moves its
// output to each new "Float In" (a voltage) at once or along a short ramp;
// VoltsToFloat measures its input (peak, VU, PPM, average, RMS, ...) and
// reports the reading a few times a second on "Float Out".
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/level_meters.h"
#include "engine/ug_base.h"
#include "modules/midi/output_smoother.h"

namespace kr {

class ug_float_to_volts : public ug_base {
 public:
  enum PlugIndex { PN_SMOOTHING, PN_FLOAT_IN, PN_VOLTS_OUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_float_to_volts>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 private:
  void Run(int offset, int count);

  std::int16_t smoothing_ = 2;
  float value_ = 0.0f;
  OutputSmoother smoother_;
};

class ug_volts_to_float : public ug_base {
 public:
  enum PlugIndex { PN_VOLTS_IN, PN_RESPONSE, PN_RATE, PN_FLOAT_OUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_volts_to_float>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  float Reported() const { return out_; }
  int UpdateInterval() const { return interval_; }

 private:
  void Measure(int offset, int count);
  // True when the reading moved and was reported.
  bool Report(int time, float x);

  float* in_ = nullptr;
  std::int16_t response_ = kr::dsp::kMeterDcFast;
  std::int16_t rate_ = 10;
  float out_ = 0.0f;
  kr::dsp::LevelDetector detector_;
  int interval_ = 1;
  int countdown_ = 1;
  float last_ = -1000.0f;
  bool inputStatic_ = false;
};

}  // namespace kr
