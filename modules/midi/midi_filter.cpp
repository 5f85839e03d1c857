#include "modules/midi/midi_filter.h"

#include "registry/plug_declaration.h"

namespace kr {

void ug_midi_filter::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_filter> kPlugs[] = {
      {.at = PN_MIDI_IN,
       .name = "MIDI In",
       .type = DT_MIDI,
       .hint = "MIDI Input Plug",
       .bind = &ug_midi_filter::midiIn_},
      {.at = PN_MIDI_OUT,
       .name = "MIDI Out",
       .direction = DR_OUT,
       .type = DT_MIDI,
       .hint = "MIDI Output Plug",
       .bind = &ug_midi_filter::midiOut_},
      {.at = PN_CHANNEL_LO,
       .name = "Channel Lo",
       .type = DT_ENUM,
       .defaultText = "1",
       .list = "range 1,16",
       .flags = PF_CONTROL,
       .hint = "MIDI Channel Low",
       .bind = &ug_midi_filter::channelLo_},
      {.at = PN_CHANNEL_HI,
       .name = "Channel Hi",
       .type = DT_ENUM,
       .defaultText = "16",
       .list = "range 1,16",
       .flags = PF_CONTROL,
       .hint = "MIDI Channel Hi",
       .bind = &ug_midi_filter::channelHi_},
      {.at = PN_NOTE_LO,
       .name = "Note Lo",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "range 0,127",
       .flags = PF_CONTROL,
       .hint = "Note Low",
       .bind = &ug_midi_filter::noteLo_},
      {.at = PN_NOTE_HI,
       .name = "Note Hi",
       .type = DT_ENUM,
       .defaultText = "127",
       .list = "range 0,127",
       .flags = PF_CONTROL,
       .hint = "Note Hi",
       .bind = &ug_midi_filter::noteHi_},
      {.at = PN_VELOCITY_LO,
       .name = "Velocity Lo",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "range 0,127",
       .flags = PF_CONTROL,
       .hint = "Velocity Low",
       .bind = &ug_midi_filter::velocityLo_},
      {.at = PN_VELOCITY_HI,
       .name = "Velocity Hi",
       .type = DT_ENUM,
       .defaultText = "127",
       .list = "range 0,127",
       .flags = PF_CONTROL,
       .hint = "Velocity Hi",
       .bind = &ug_midi_filter::velocityHi_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

bool ug_midi_filter::Passes(std::uint32_t message) const {
  const int status = static_cast<int>(message & 0xFFu);
  if (status >= 0xF0) return true;
  const int channel = (status & 0x0F) + 1;
  if (channel < channelLo_ || channel > channelHi_) return false;
  const int note = static_cast<int>((message >> 8) & 0x7Fu);
  const int velocity = static_cast<int>((message >> 16) & 0x7Fu);
  const bool noteInRange = note >= noteLo_ && note <= noteHi_;
  switch (status & 0xF0) {
    case 0x80:
      return noteInRange;
    case 0x90:
      return noteInRange && velocity >= velocityLo_ && velocity <= velocityHi_;
    default:
      return true;
  }
}

void ug_midi_filter::OnMidi(int time, std::uint32_t message) {
  if (!Passes(message)) return;
  UPlug* out = GetPlug(PN_MIDI_OUT);
  out->SendMidi(time, message);
  out->WakeReceivers();
}

}  // namespace kr
