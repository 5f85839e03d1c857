#include "modules/io/sound_card.h"

#include "registry/plug_declaration.h"

namespace kr {

void TellHostOwnsSoundCard(ug_base& module) {
  if ((module.flags & UGF_CLONE) == 0) module.MessageBox(kHostOwnsSoundCard);
}

void ug_soundcard_in::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_soundcard_in> kPlugs[] = {
      {.at = PN_LEFT, .name = "Left Out", .direction = DR_OUT, .bind = &ug_soundcard_in::left_},
      {.at = PN_RIGHT, .name = "Right Out", .direction = DR_OUT, .bind = &ug_soundcard_in::right_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_soundcard_in::Open() {
  ug_base::Open();
  SetProcessFunction(&ug_base::SleepCheck);
  GetPlug(PN_LEFT)->SetState(clock, ST_STOP);
  GetPlug(PN_RIGHT)->SetState(clock, ST_STOP);
  TellHostOwnsSoundCard(*this);
}

void ug_soundcard_out::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_soundcard_out> kPlugs[] = {
      {.at = PN_LEFT, .name = "Left (Mono)", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_soundcard_out::left_},
      {.at = PN_RIGHT, .name = "Right", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_soundcard_out::right_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_soundcard_out::Open() {
  ug_base::Open();
  SetProcessFunction(&ug_base::SleepCheck);
  TellHostOwnsSoundCard(*this);
}

}  // namespace kr
