#include "modules/legacy/slider.h"

#include "engine/audio_master.h"
#include "modules/legacy/control_plugs.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_slider::ListInterface(InterfaceList& list) {
  legacy_controls::ListControlPlugs(*this, list);
  static constexpr PlugDecl<ug_slider> kPlugs[] = {
      {.at = PN_SIGNAL_OUT, .name = "Signal Out", .direction = DR_OUT},
      {.at = PN_APPEARANCE,
       .name = "Appearance",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "3",
       .list = "None=-1,Plain Slider,Vert Slider,Horiz Slider,Knob,Button,Button "
               "(toggle),Plain Button,Small Knob,Small Button,Small Button (Toggle)",
       .bind = &ug_slider::appearance_},
      {.at = PN_SHOW_READOUT,
       .name = "Show Readout",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .bind = &ug_slider::showReadout_},
  };
  static_assert(PlugIndicesMatch(kPlugs, legacy_controls::kControlPlugCount) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  legacy_controls::ListShowTitle(showTitle_, list);
  static constexpr PlugDecl<ug_slider> kLimits[] = {
      {.at = PN_LO_VALUE,
       .name = "Lo Value",
       .direction = DR_PARAMETER,
       .type = DT_FLOAT,
       .defaultText = "0",
       .bind = &ug_slider::lo_},
      {.at = PN_HI_VALUE,
       .name = "Hi Value",
       .direction = DR_PARAMETER,
       .type = DT_FLOAT,
       .defaultText = "10",
       .bind = &ug_slider::hi_},
  };
  static_assert(PlugIndicesMatch(kLimits, PN_SHOW_TITLE + 1) && PlugBindingsMatch(kLimits));
  ListPlugs(list, *this, kLimits);
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

}  // namespace kr
