#include "modules/midi/cv_midi.h"

#include <algorithm>
#include <cmath>

#include "modules/midi/midi_channel_lists.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
enum { kGatePlug = 0, kMidiOutPlug = 4 };
}

void ug_cv_midi::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_cv_midi> kPlugs[] = {
      {.name = "Gate",
       .defaultText = "0",
       .flags = PF_CONTROL,
       .hint = "Triggers the Note on message",
       .bind = &ug_cv_midi::gate_},
      {.name = "Pitch",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Sets the note pitch",
       .bind = &ug_cv_midi::pitch_},
      {.name = "Velocity",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Sets the note velocity",
       .bind = &ug_cv_midi::velocity_},
      {.name = "Channel",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = midi_lists::kChannelOrAll,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel",
       .bind = &ug_cv_midi::channel_},
      {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .bind = &ug_cv_midi::midiOut_},
      {.name = "Freq Scale",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1 Volt/Octave, 1 Volt/kHz ",
       .hint = "Switches between 1 Volt per Octave or 1 Volt per kHz response.",
       .bind = &ug_cv_midi::freqScale_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_cv_midi::Open() {
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
}

int ug_cv_midi::NoteForPitch(float pitch, bool voltsPerKhz) {
  double note = 0.0;
  if (voltsPerKhz) {
    const double hz = 10.0 * pitch * 1000.0;
    note = hz > 0.0 ? 12.0 * std::log2(hz / 440.0) + 69.0 : 0.0;
  } else {
    note = (10.0 * pitch - 5.0) * 12.0 + 69.5;
  }
  if (!(note > 0.0)) return 0;  // also NaN
  return static_cast<int>(std::min(note, 127.0));
}

void ug_cv_midi::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c == nullptr || c->to != GetPlug(kGatePlug)) return;
  if (state == ST_RUN) {
    SetProcessFunction(&ug_cv_midi::ScanGate);
    return;
  }
  SetProcessFunction(&ug_base::SleepCheck);
  const int index = std::clamp(time - PeriodStart(), 0, BlockLength() - 1);
  GateChanged(time, index, gate_[index] > 0.0f);
}

void ug_cv_midi::ScanGate(int offset, int count) {
  for (int i = offset; i < offset + count; ++i)
    if ((gate_[i] > 0.0f) != on_) GateChanged(clock + (i - offset), i, !on_);
}

void ug_cv_midi::GateChanged(int time, int index, bool on) {
  if (on == on_) return;
  on_ = on;
  const auto channel = static_cast<std::uint32_t>(channel_ < 0 ? 0 : channel_ & 15);
  std::uint32_t message = 0;
  if (on) {
    const int velocity = std::clamp(static_cast<int>(velocity_[index] * 127.0f), 1, 127);
    note_ = NoteForPitch(pitch_[index], freqScale_ != 0);
    message = 0x90u | channel | static_cast<std::uint32_t>(note_) << 8 | static_cast<std::uint32_t>(velocity) << 16;
  } else {
    message = 0x80u | channel | static_cast<std::uint32_t>(note_) << 8 | 64u << 16;
  }
  UPlug* out = GetPlug(kMidiOutPlug);
  out->SendMidi(time, message);
  out->WakeReceivers();
}

}  // namespace kr
