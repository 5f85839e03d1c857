// The meters: "LED Indicator" (lit when the input passed the threshold at
// least once in the last sixth of a second), "Peak Meter" (the peak in
// decibels or linear, falling at most 20 units per update) and "Volt Meter"
// (the DC average or the mean square of the input).
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/level_meters.h"
#include "modules/meter/meter_base.h"

namespace kr {

class ug_led : public ug_meter_base {
 public:
  enum PlugIndex { PN_IN, PN_THRESHOLD, PN_APPEARANCE };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_led>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;

 protected:
  void Update() override;
  void Rearm() override;

 private:
  void Scan(int offset, int count);

  float* in_ = nullptr;
  float* threshold_ = nullptr;
  std::int16_t appearance_ = 0;
  float measured_ = 0.0f;
};

class ug_peak_meter : public ug_meter_base {
 public:
  enum PlugIndex { PN_IN, PN_RESPONSE };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_peak_meter>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;

 protected:
  void Update() override;
  void Rearm() override;

 private:
  void Track(int offset, int count);

  float* in_ = nullptr;
  std::int16_t response_ = 0;
  float peak_ = 0.0f;
};

class ug_volt_meter : public ug_meter_base {
 public:
  enum PlugIndex { PN_IN, PN_MODE, PN_RATE };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_volt_meter>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  float Level() const { return average_.level; }

 protected:
  void Update() override;
  void Rearm() override;

 private:
  void Average(int offset, int count);
  int UpdatePeriod() const;

  float* in_ = nullptr;
  std::int16_t mode_ = 0;
  std::int16_t rate_ = 0;
  kr::dsp::VoltMeterAverage average_;
};

}  // namespace kr
