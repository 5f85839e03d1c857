// "Slider": a panel value as a voltage between "Lo Value" and "Hi Value".
// MIDI controllers and host values (0..1) map to Lo + (Hi - Lo) x volts.
#pragma once

#include <memory>

#include "modules/legacy/volts_control.h"

namespace kr {

class ug_slider final : public ug_volts_control {
 public:
  enum PlugIndex { PN_SIGNAL_OUT = 6, PN_APPEARANCE, PN_SHOW_READOUT, PN_SHOW_TITLE, PN_LO_VALUE, PN_HI_VALUE };
  // Appearances 4, 5 and 6 are buttons: they glide over 4 samples.
  enum Appearance : std::int16_t { kNone = -1, kButton = 4, kButtonToggle = 5, kPlainButton = 6, kKnob = 3 };

  ug_slider() : ug_volts_control(PN_SIGNAL_OUT) {}
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_slider>(); }
  void ListInterface(InterfaceList& list) override;
  bool SetFromMidi(float value) override;
  float NormalisedValue() override;

 protected:
  int RampLength() const override;

 private:
  std::int16_t appearance_ = kKnob;
  bool showReadout_ = false;
  bool showTitle_ = true;
  float lo_ = 0.0f;
  float hi_ = 10.0f;
};

}  // namespace kr
