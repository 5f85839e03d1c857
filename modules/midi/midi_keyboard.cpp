#include "modules/midi/midi_keyboard.h"

#include "modules/midi/midi_channel_lists.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_midi_keyboard::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_keyboard> kPlugs[] = {
      {.name = "Channel",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = midi_lists::kChannel,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel",
       .bind = &ug_midi_keyboard::channel_},
      {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .bind = &ug_midi_keyboard::midiOut_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_midi_keyboard::Open() {
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
}

void ug_midi_keyboard::OnUiNotify(int kind, int value) {
  if (kind != kKeyDown && kind != kKeyUp) return ug_base::OnUiNotify(kind, value);
  const auto channel = static_cast<std::uint32_t>(channel_ < 0 ? 0 : channel_ & 15);
  const auto note = static_cast<std::uint32_t>(value & 0x7F) << 8;
  const std::uint32_t message = kind == kKeyDown ? 0x90u | channel | note | 90u << 16 : 0x80u | channel | note | 64u << 16;
  if (queued_ < queue_.size()) queue_[queued_++] = message;
  Wake();
  SetProcessFunction(&ug_midi_keyboard::Send);
}

void ug_midi_keyboard::Send(int offset, int count) {
  UPlug* out = GetPlug(1);
  for (std::size_t i = 0; i < queued_; ++i) out->SendMidi(clock, queue_[i]);
  if (queued_ > 0) out->WakeReceivers();
  queued_ = 0;
  SetProcessFunction(&ug_base::SleepCheck);
  SleepCheck(offset, count);
}

}  // namespace kr
