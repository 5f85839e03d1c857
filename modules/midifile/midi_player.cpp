#include "modules/midifile/midi_player.h"

#include <climits>
#include <cmath>

#include "engine/audio_master.h"
#include "formats/midifile/midi_file.h"
#include "modules/module_file_reader.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_midi_player::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_player> kPlugs[] = {
      {.at = PN_FILE,
       .name = "File Name",
       .type = DT_TEXT,
       .defaultText = "popcorn",
       .list = "mid",
       .flags = PF_FILENAME,
       .hint = "A MIDI filename(*.mid)",
       .bind = &ug_midi_player::fileName_},
      {.at = PN_TEMPO,
       .name = "Tempo",
       .defaultText = "12",
       .list = "16,5,16,5",
       .flags = PF_SIGNAL,
       .hint = "10V = 100 bpm",
       .bind = &ug_midi_player::tempo_},
      {.at = PN_OUT, .name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .bind = &ug_midi_player::out_},
      {.at = PN_IGNORE_TEMPO,
       .name = "Ignore MIDI tempo Changes",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Tempo is usually set by the MIDI file, this setting overrides it.",
       .bind = &ug_midi_player::ignoreTempo_},
      {.at = PN_LOOP,
       .name = "Loop Mode",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Entire sequence loops from end, back to beginning",
       .bind = &ug_midi_player::loop_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

bool ug_midi_player::Load() {
  walker_.reset();
  const kr::modules::ModuleFile read = kr::modules::ReadModuleFile(*this, fileName_, "mid");
  if (!read.bytes) {
    MessageBox("Cannot Find/Load this file.  Check your Audio Preferences MIDI path setting: " + fileName_);
    return false;
  }
  const std::vector<std::uint8_t>& bytes = *read.bytes;
  if (bytes.size() < 4 || bytes[0] != 'M' || bytes[1] != 'T' || bytes[2] != 'h' || bytes[3] != 'd') {
    MessageBox("This is NOT a Standard MIDI File");
    return false;
  }
  kr::midifile::ReadOptions options;
  options.skipStrayBytes = true;
  kr::midifile::MidiReadResult midi = kr::midifile::ReadMidiFile(bytes, options);
  if (!midi.file) {
    MessageBox("Cannot play " + read.path + ": " + midi.error);
    return false;
  }
  if (midi.file->zeroTempos > 0) {
    // Time would stand still: the file is refused rather than played at a made-up tempo.
    MessageBox("Cannot play " + read.path + ": it sets a tempo of 0 microseconds a quarter note");
    return false;
  }
  if (midi.file->unknownChunks > 0) MessageBox("We've hit (and skipped over) an UNKNOWN CHUNK\n");
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  walker_.emplace(std::move(*midi.file), rate, ignoreTempo_, loop_);
  return true;
}

void ug_midi_player::Open() {
  ug_base::Open();
  SetProcessFunction(&ug_base::SleepCheck);
  if (!Load()) return;
  walker_->SetBpm(InputBpm());
  Step();
  GetPlug(PN_OUT)->SendMidi(clock, kr::midifile::SequenceWalker::kStart);
  GetPlug(PN_OUT)->WakeReceivers();
}

double ug_midi_player::InputBpm() {
  // The input is a float: 1.2 (12 V) reads as 1.20000005. Held to a
  // thousandth of a beat, 12 V is 120 bpm exactly and notes do not fall a
  // sample early.
  const double bpm = static_cast<double>(GetPlug(PN_TEMPO)->GetValueNow()) * 100.0;
  return std::isfinite(bpm) ? std::round(bpm * 1000.0) / 1000.0 : 0.0;
}

void ug_midi_player::RunStep(ug_base& module) { static_cast<ug_midi_player&>(module).Step(); }

void ug_midi_player::Step() {
  if (!walker_) return;
  UPlug* out = GetPlug(PN_OUT);
  bool sent = false;
  const int now = clock;
  const std::int64_t wait = walker_->Step([&](std::uint32_t word) {
    out->SendMidi(now, word);
    sent = true;
  });
  // Engine time is a 32-bit count: a run that would land past it is not made.
  if (wait > 0 && wait < static_cast<std::int64_t>(INT_MAX) - now) QueueCall(now + static_cast<int>(wait), &RunStep);
  if (sent) out->WakeReceivers();
}

void ug_midi_player::OnPlugStateChange(int time, connector* c, PlugState) {
  if (c == nullptr || clock <= 10) return;
  if (c->to == GetPlug(PN_TEMPO)) {
    if (walker_) walker_->SetBpm(InputBpm());
  } else if (c->to == GetPlug(PN_FILE)) {
    MessageBox("Filename change will take effect next time you push 'Play'");
  }
}

}  // namespace kr
