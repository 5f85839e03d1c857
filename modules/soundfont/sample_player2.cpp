#include "modules/soundfont/sample_player2.h"

#include <algorithm>

#include "dsp/sinc_interpolation.h"
#include "engine/audio_master.h"
#include "modules/soundfont/soundfont_hints.h"
#include "modules/soundfont/soundfont_hints.h"
#include "registry/plug_declaration.h"
#include "engine/note_events.h"

namespace kr {

std::unique_ptr<ug_base> ug_sample_player2::Clone() {
  if (!shared_) shared_ = std::make_shared<soundfont::SharedFont>();
  std::unique_ptr<ug_base> copy = ug_notesource::Clone();
  auto& other = static_cast<ug_sample_player2&>(*copy);
  other.shared_ = shared_;
  other.fileName_ = fileName_;
  return copy;
}

void ug_sample_player2::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_sample_player2> kPlugs[] = {
      {.at = PN_MIDI, .name = "MIDI In", .type = DT_MIDI, .defaultText = "0", .bind = &ug_sample_player2::midiIn_},
      {.at = PN_LEFT, .name = "Left Out", .direction = DR_OUT, .bind = &ug_sample_player2::left_},
      {.at = PN_RIGHT, .name = "Right Out", .direction = DR_OUT, .bind = &ug_sample_player2::right_},
      {.at = PN_BANK,
       .name = "Bank",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1,2,3",
       .hint = soundfont_hints::kBank,
       .bind = &ug_sample_player2::bank_},
      {.at = PN_PATCH,
       .name = "Patch",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1,2,3",
       .hint = soundfont_hints::kPatch,
       .bind = &ug_sample_player2::patch_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_sample_player2::Open() {
  if (!shared_) shared_ = std::make_shared<soundfont::SharedFont>();
  soundfont::LoadOnce(*this, *shared_, fileName_);
  font_ = shared_->font;
  if (!sinc_) sinc_ = kr::dsp::sinc::SharedTable();
  engineRate_ = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  ug_notesource::Open();
  if (IsMaster()) {
    presets_.Reset(font_.get());
    presets_.Select(0, bank_, patch_);
  }
  envelope_ = {};
  missingSample_ = false;
  StartSettling(&ug_sample_player2::Quiet);
  GetPlug(PN_LEFT)->SetState(clock, ST_STOP);
  GetPlug(PN_RIGHT)->SetState(clock, ST_STOP);
}

void ug_sample_player2::OnPlugStateChange(int time, connector* c, PlugState) {
  if (c == nullptr || !IsMaster()) return;
  if (c->to == GetPlug(PN_BANK) || c->to == GetPlug(PN_PATCH)) presets_.Select(0, bank_, patch_);
}

void ug_sample_player2::OnMidi(int time, std::uint32_t message) {
  if (!font_) return;  // no font: MIDI is ignored
  const int channel = static_cast<int>(message & 0x0Fu);
  const int status = static_cast<int>(message & 0xF0u);
  const int d1 = static_cast<int>((message >> 8) & 0x7Fu);
  if ((message & 0xFFu) < 0xF0u && !presets_.At(channel).enabled) return;
  if (status == 0xC0 && (message & 0xFFu) < 0xF0u) {
    presets_.SelectProgram(channel, d1);
    return;
  }
  if (status == 0xB0 && d1 == 0) {
    const int value = static_cast<int>((message >> 16) & 0x7Fu);
    // Channel 10 keeps the percussion bank.
    presets_.SelectBank(channel, channel == 9 ? 128 : value);
    return;
  }
  ug_notesource::OnMidi(time, message);
}

void ug_sample_player2::VoiceNoteOn(int time, int channel, int note, int velocity) {
  ug_notesource::VoiceNoteOn(time, channel, note, velocity);
  Wake();
  held_ = true;
  const kr::sf2::Zone* zone = font_ ? Presets().FindZone(channel, note, velocity) : nullptr;
  if (zone == nullptr) return;  // no zone: the voice stays silent
  if (!voice_.Start(*font_, *zone, note, engineRate_)) {
    if (!missingSample_) {
      missingSample_ = true;
      if (audioMaster != nullptr) audioMaster->PostRefresh(*this);
    }
    return;
  }
  const ChannelBend& bend = Bend(channel);
  voice_.reader.inc = voice_.IncrementFor(bend.bend * bend.range);
  kr::dsp::sample_voice::Start(voice_.reader, voice_.zone.playback.start);
  const auto& g = voice_.zone.gen;
  kr::dsp::sample_voice::StartEnvelope(envelope_, kr::dsp::sample_voice::StageSamples(g[kr::sf2::kAttackVolEnv], engineRate_),
                              kr::dsp::sample_voice::StageSamples(g[kr::sf2::kDecayVolEnv], engineRate_),
                              kr::dsp::sample_voice::SustainLevel(g[kr::sf2::kSustainVolEnv]),
                              kr::dsp::sample_voice::StageSamples(g[kr::sf2::kReleaseVolEnv], engineRate_));
  GetPlug(PN_LEFT)->SetState(time, ST_RUN);
  GetPlug(PN_RIGHT)->SetState(time, ST_RUN);
  if (voice_.zone.playback.stereo) {
    SetProcessFunction(&ug_sample_player2::Render<true>);
  } else {
    SetProcessFunction(&ug_sample_player2::Render<false>);
  }
}

void ug_sample_player2::VoiceNoteOff(int time, int channel, int note, int velocity) {
  held_ = false;
  kr::dsp::sample_voice::ReleaseEnvelope(envelope_);
}

void ug_sample_player2::VoiceBend(int time, float bend) {
  if (playingChannel_ < 0) return;
  voice_.reader.inc = voice_.IncrementFor(bend * Bend(playingChannel_).range);
}

template <bool Stereo>
void ug_sample_player2::Render(int offset, int count) {
  const float* table = sinc_->Data();
  for (int i = 0; i < count; ++i) {
    const float level = kr::dsp::sample_voice::NextLevel(envelope_);
    if (envelope_.stage == kr::dsp::sample_voice::Envelope::kOff || !kr::dsp::sample_voice::Advance(voice_.reader, held_)) {
      EndVoice(clock + i, offset + i, count - i);
      return;
    }
    const float l = kr::dsp::sample_voice::ReadFirst(voice_.reader, table) * level;
    left_[offset + i] = l;
    right_[offset + i] = Stereo ? kr::dsp::sample_voice::ReadSecond(voice_.reader, table) * level : l;
  }
}

void ug_sample_player2::EndVoice(int time, int offset, int count) {
  std::fill_n(left_ + offset, count, 0.0f);
  std::fill_n(right_ + offset, count, 0.0f);
  GetPlug(PN_LEFT)->SetState(time, ST_STOP);
  GetPlug(PN_RIGHT)->SetState(time, ST_STOP);
  StartSettling(&ug_sample_player2::Quiet);
  // The voice goes back to its container (as a voice monitor hands it back).
  if (voiceList != nullptr && ownVoice != nullptr) AddEvent(NewEvent(time, UET_SUSPEND, 0, ownVoice), true);
}

void ug_sample_player2::Quiet(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) {
    std::fill_n(left_ + at, n, 0.0f);
    std::fill_n(right_ + at, n, 0.0f);
  });
}

}  // namespace kr
