#include "modules/midi/patch_select.h"

#include "engine/audio_master.h"
#include "engine/ug_container.h"
#include "modules/midi/midi_channel_lists.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
enum { kSelectChannelPlug = 0, kSelectMidiOutPlug = 2 };
}

void ug_patch_sel::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_patch_sel> kPlugs[] = {
      {.name = "Channel",
       .type = DT_ENUM,
       .defaultText = "-1",
       .list = midi_lists::kChannelOrAll,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel",
       .bind = &ug_patch_sel::channel_},
      {.name = "MIDI In", .type = DT_MIDI, .bind = &ug_patch_sel::midiIn_},
      {.name = "MIDI Out",
       .direction = DR_OUT,
       .type = DT_MIDI,
       .hint = "Transmits MIDI Program change messages",
       .bind = &ug_patch_sel::midiOut_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_patch_sel::Open() {
  midiIn_.channel = channel_;
  // The panel side set the container's program before sound started.
  const std::int32_t shown = shownProgram.load(std::memory_order_acquire);
  if (shown >= 0 && shown < 128) program_ = static_cast<std::int16_t>(shown);
  ug_midi_device::Open();
}

void ug_patch_sel::OnPlugStateChange(int, connector* c, PlugState) {
  if (c != nullptr && c->to == GetPlug(kSelectChannelPlug)) midiIn_.channel = channel_;
}

void ug_patch_sel::OnMidi(int, std::uint32_t message) {
  if ((message & 0xF0u) != 0xC0u) return;
  const auto program = static_cast<std::int16_t>((message >> 8) & 0x7Fu);
  if (program == program_) return;
  program_ = program;
  shownProgram.store(program, std::memory_order_release);
  Apply();
  if (audioMaster != nullptr) audioMaster->PostRefresh(*this);
}

void ug_patch_sel::PostProgramNotify(int program) {
  if (audioMaster != nullptr) audioMaster->PostNotify(*this, kNotifyProgram, program);
}

void ug_patch_sel::OnUiNotify(int kind, int value) {
  if (kind != kNotifyProgram) {
    ug_midi_device::OnUiNotify(kind, value);
    return;
  }
  const std::int32_t shown = shownProgram.load(std::memory_order_acquire);
  if (shown < 0 || shown >= 128) return;
  program_ = static_cast<std::int16_t>(shown);
  Apply();
}

void ug_patch_sel::Apply() {
  if ((flags & UGF_OPEN) == 0) return;
  const auto channel = static_cast<std::uint32_t>(channel_ < 0 ? 0 : channel_ & 15);
  UPlug* out = GetPlug(kSelectMidiOutPlug);
  if (out != nullptr && out->HasConnection()) {
    out->SendMidi(clock, 0xC0u | channel | static_cast<std::uint32_t>(program_ & 0x7F) << 8);
    out->SetState(clock, ST_STATIC);
    out->WakeReceivers();
  }
  // The container's controls that follow this selector take the program.
  if (auto* owner = dynamic_cast<ug_container*>(container)) owner->VoiceList::ProgramChange(clock, program_, automation);
}

}  // namespace kr
