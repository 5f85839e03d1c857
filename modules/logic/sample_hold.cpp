#include "modules/logic/sample_hold.h"

#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_sample_hold::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_sample_hold> kPlugs[] = {
      {.at = PN_AUDIO, .name = "Audio", .defaultText = "8", .flags = PF_SIGNAL, .bind = &ug_sample_hold::audio_},
      {.at = PN_HOLD,
       .name = "Hold",
       .defaultText = "8",
       .hint = "Freezes input signal on leading edge",
       .bind = &ug_sample_hold::hold_},
      {.at = PN_OUT, .name = "Output", .direction = DR_OUT, .defaultText = "0", .bind = &ug_sample_hold::out_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_sample_hold::Open() {
  held_ = 0.0f;
  armed_ = true;
  SetProcessFunction(&ug_sample_hold::Settle);
  ug_base::Open();
}

void ug_sample_hold::OnPlugStateChange(int time, connector* c, PlugState state) {
  // Only "Hold" moves the output; a change of "Audio" alone changes nothing held.
  if (c == nullptr || c->to != GetPlug(PN_HOLD)) return;
  GetPlug(PN_OUT)->SetState(time, state == ST_RUN ? ST_RUN : ST_STATIC);
  if (state == ST_RUN) {
    SetProcessFunction(&ug_sample_hold::Track);
    return;
  }
  Step(kr::SampleAt(*this, audio_, time), kr::SampleAt(*this, hold_, time));
  StartSettling(&ug_sample_hold::Settle);
}

void ug_sample_hold::Track(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    Step(audio_[i], hold_[i]);
    out_[i] = held_;
  }
}

void ug_sample_hold::Settle(int offset, int count) { kr::SettleFill(*this, out_, held_, offset, count); }

}  // namespace kr
