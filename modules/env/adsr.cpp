#include "modules/env/adsr.h"

#include "registry/plug_declaration.h"

namespace kr {

std::unique_ptr<ug_base> ug_adsr::CreateSame() { return std::make_unique<ug_adsr>(); }

void ug_adsr::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_adsr> kPlugs[] = {
      {.at = PN_GATE,
       .name = "Gate",
       .defaultText = "1",
       .flags = PF_CONTROL,
       .hint = "Triggers the Attack phase when greater then 0 V "},
      {.at = PN_ATTACK,
       .name = "Attack",
       .defaultText = "0",
       .flags = PF_CONTROL,
       .hint = "Controls the rate of the attack, 0 V is quickest, 10 V slowest"},
      {.at = PN_DECAY, .name = "Decay", .defaultText = "5", .flags = PF_CONTROL, .hint = "The Decay rate"},
      {.at = PN_SUSTAIN,
       .name = "Sustain",
       .defaultText = "7",
       .flags = PF_CONTROL,
       .hint = "The 'hold' level, while the gate is high (key is down)"},
      {.at = PN_RELEASE, .name = "Release", .defaultText = "4", .flags = PF_CONTROL, .hint = "The Release rate"},
      {.at = PN_OVERALL,
       .name = "Overall Level",
       .defaultText = "10",
       .flags = PF_CONTROL,
       .hint = "Controls the overall output level.  Handy for adding Velocity sensitivity"},
      {.at = PN_OUT, .name = "Signal Out", .direction = DR_OUT, .defaultText = "0"},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_adsr::ConfigureSegments() {
  segments_ = {};
  segments_[0].ratePlug = GetPlug(PN_ATTACK);
  segments_[0].fixedLevel = 1.0f;
  segments_[1].ratePlug = GetPlug(PN_DECAY);
  segments_[1].levelPlug = GetPlug(PN_SUSTAIN);
  segments_[2].ratePlug = GetPlug(PN_RELEASE);
  segments_[2].fixedLevel = 0.0f;
  sustain_ = 1;
  end_ = 2;
}

}  // namespace kr
