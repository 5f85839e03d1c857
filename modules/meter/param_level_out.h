// "Patch Parameter - Level Out": the audio half of the panel's level meter.
// A detector (VU, PPM, peak, headroom, fast or averaged DC) whose level is
// sent to the panel side at the chosen update rate while it moves; the
// module sleeps once the input has settled and the level stops changing.
#pragma once

#include "dsp/level_meters.h"
#include "modules/meter/meter_base.h"

namespace kr {

class ug_param_float_out final : public ug_meter_base {
 public:
  enum PlugIndex { PN_IN = 0, PN_MIDI_IN, PN_MIDI_OUT, PN_RESPONSE, PN_RATE };

  ug_param_float_out() { display_ = -1000.0f; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_param_float_out>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 protected:
  void Update() override;
  void Rearm() override;

 private:
  void Detect(int offset, int count);
  int UpdatePeriod() const;
  void Configure();

  float* in_ = nullptr;
  std::int16_t response_ = 4;
  std::int16_t rate_ = 10;
  kr::dsp::LevelDetector detector_;
  float lastSample_ = 0.0f;
};

}  // namespace kr
