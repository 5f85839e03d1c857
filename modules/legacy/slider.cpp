#include "modules/legacy/slider.h"

#include "engine/audio_master.h"
#include "modules/legacy/control_plugs.h"

void ug_slider::ListInterface(InterfaceList& list) {
  legacy_controls::ListControlPlugs(*this, list);
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO);
  list.emplace_back(&appearance_, &typeid(std::int16_t), "Appearance", DR_PARAMETER, DT_ENUM, "3",
                    "None=-1,Plain Slider,Vert Slider,Horiz Slider,Knob,Button,Button (toggle),Plain Button,Small "
                    "Knob,Small Button,Small Button (Toggle)");
  list.emplace_back(&showReadout_, &typeid(bool), "Show Readout", DR_PARAMETER, DT_BOOL, "0");
  legacy_controls::ListShowTitle(showTitle_, list);
  list.emplace_back(&lo_, &typeid(float), "Lo Value", DR_PARAMETER, DT_FLOAT, "0");
  list.emplace_back(&hi_, &typeid(float), "Hi Value", DR_PARAMETER, DT_FLOAT, "10");
}

int ug_slider::RampLength() const {
  if (appearance_ == kButton || appearance_ == kButtonToggle || appearance_ == kPlainButton) return 4;
  return ug_volts_control::RampLength();
}

bool ug_slider::SetFromMidi(float value) {
  if (!MoveTo(lo_ + (hi_ - lo_) * value, true)) return false;
  if (audioMaster != nullptr) audioMaster->PostRefresh(*this);
  return true;
}

float ug_slider::NormalisedValue() {
  const float span = hi_ - lo_;
  if (span == 0.0f) return 0.0f;
  const float n = (Output() * 10.0f - lo_) / span;
  return n > 0.0f ? n : 0.0f;
}
