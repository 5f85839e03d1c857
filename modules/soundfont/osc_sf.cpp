#include "modules/soundfont/osc_sf.h"

#include <algorithm>
#include <cmath>

#include "dsp/sinc_interpolation.h"
#include "engine/audio_master.h"
#include "modules/render_table.h"
#include "modules/soundfont/soundfont_hints.h"
#include "registry/plug_declaration.h"

namespace kr {

std::unique_ptr<ug_base> ug_osc_sf::Clone() {
  if (!shared_) shared_ = std::make_shared<soundfont::SharedFont>();
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  auto& other = static_cast<ug_osc_sf&>(*copy);
  other.shared_ = shared_;
  other.documentText_ = documentText_;
  return copy;
}

void ug_osc_sf::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_osc_sf> kPlugs[] = {
      {.at = PN_FILE,
       .name = "Unused",
       .direction = DR_PARAMETER,
       .type = DT_TEXT,
       .list = "sf2",
       .flags = 0x112,
       .hint = "A Soundfont-2 (*.sf2) file. (Use a 'Audio In' module for wave files, *.wav)",
       .bind = &ug_osc_sf::fileName_},
      {.at = PN_BANK,
       .name = "Bank",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1,2,3",
       .hint = soundfont_hints::kBank,
       .bind = &ug_osc_sf::bank_},
      {.at = PN_PATCH,
       .name = "Patch",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1,2,3",
       .hint = soundfont_hints::kPatch,
       .bind = &ug_osc_sf::patch_},
      {.at = PN_GATE,
       .name = "Gate",
       .defaultText = "0",
       .flags = 0x1,
       .hint = "Triggers the sample when greater then 0 V ",
       .bind = &ug_osc_sf::gate_},
      {.at = PN_PITCH,
       .name = "Pitch",
       .defaultText = "5",
       .list = "100, 0, 10, 0",
       .flags = 0x1,
       .hint = "1 Volt per Octave, 5V = Middle A",
       .bind = &ug_osc_sf::pitch_},
      {.at = PN_VELOCITY,
       .name = "Velocity",
       .defaultText = "8",
       .list = "100, 0, 10, 0",
       .flags = 0x1,
       .hint = "Chooses between velocity-split samples in soundfont file (if any)",
       .bind = &ug_osc_sf::velocity_},
      {.at = PN_LEFT, .name = "Left (mono)", .direction = DR_OUT, .bind = &ug_osc_sf::left_},
      {.at = PN_RIGHT, .name = "Right", .direction = DR_OUT, .bind = &ug_osc_sf::right_},
      {.at = PN_IGNORE_PC,
       .name = "Ignore Program Change",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "1",
       .hint = "Prevents this control responding to patch changes from 'Patch Select' module",
       .bind = &ug_osc_sf::ignoreProgramChange_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

int ug_osc_sf::NoteFor(float pitch) {
  const double k = std::floor((static_cast<double>(pitch) - 0.5) * 120.0 + 69.5);
  return static_cast<int>(std::clamp(std::isnan(k) ? 0.0 : k, 0.0, 127.0));
}

void ug_osc_sf::Open() {
  if (!shared_) shared_ = std::make_shared<soundfont::SharedFont>();
  soundfont::LoadOnce(*this, *shared_, fileName_.empty() ? documentText_ : fileName_);
  font_ = shared_->font;
  if (!sinc_) sinc_ = kr::dsp::sinc::SharedTable();
  engineRate_ = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  ug_base::Open();
  presets_.Reset(font_.get());
  presets_.Select(0, bank_, patch_);
  playing_ = false;
  gateHigh_ = false;
  missingSample_ = false;
  GetPlug(PN_LEFT)->SetState(clock, ST_STOP);
  GetPlug(PN_RIGHT)->SetState(clock, ST_STOP);
  if (!font_) {
    StartSettling(&ug_osc_sf::Idle);
    return;
  }
  ChooseProcess();
}

std::uint32_t ug_osc_sf::IncrementFor(float pitch) const {
  const double octaves = std::clamp((static_cast<double>(pitch) - reference_) * 10.0, -64.0, 64.0);
  return kr::dsp::sample_voice::Increment(std::exp2(octaves) * voice_.rateRatio, kr::sf2::kMaxStep);
}

bool ug_osc_sf::StartNote(int time, float pitch, float velocity) {
  const int key = NoteFor(pitch);
  const double v = std::floor(static_cast<double>(velocity) * 127.0);
  const int vel = static_cast<int>(std::clamp(std::isnan(v) ? 0.0 : v, 0.0, 127.0));
  const kr::sf2::Zone* zone = presets_.FindZone(0, key, vel);
  if (zone == nullptr) return false;
  if (!voice_.Start(*font_, *zone, key, engineRate_)) {
    missingSample_ = true;
    if (audioMaster != nullptr) audioMaster->PostRefresh(*this);
    return false;
  }
  if (missingSample_) {
    missingSample_ = false;
    if (audioMaster != nullptr) audioMaster->PostRefresh(*this);
  }
  reference_ = (key - 69) / 120.0 + 0.5 - voice_.semitones / 120.0;
  voice_.reader.inc = IncrementFor(pitch);
  kr::dsp::sample_voice::Start(voice_.reader, voice_.zone.playback.start);
  playing_ = true;
  GetPlug(PN_LEFT)->SetState(time, ST_RUN);
  GetPlug(PN_RIGHT)->SetState(time, ST_RUN);
  return true;
}

void ug_osc_sf::ChooseProcess() {
  const bool gateRuns = GetPlug(PN_GATE)->state == ST_RUN;
  const bool pitchRuns = GetPlug(PN_PITCH)->state == ST_RUN;
  if (!gateRuns) gateValue_ = GetPlug(PN_GATE)->GetValueNow();
  if (!pitchRuns && playing_) voice_.reader.inc = IncrementFor(GetPlug(PN_PITCH)->GetValueNow());
  const bool edgeAhead = gateValue_ > 0.0f && !gateHigh_;
  if (!gateRuns && !playing_ && !edgeAhead) {
    gateHigh_ = gateValue_ > 0.0f;
    StartSettling(&ug_osc_sf::Idle);
    return;
  }
  const bool stereo = playing_ && voice_.zone.playback.stereo;
  static constexpr auto kRenders = kr::RenderTable<8>(
      [](auto i) { return &ug_osc_sf::Play<kr::Bit<2>(i), kr::Bit<1>(i), kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(gateRuns, pitchRuns, stereo)]);
}

void ug_osc_sf::OnPlugStateChange(int time, connector* c, PlugState) {
  if (c == nullptr) return;
  if (c->to == GetPlug(PN_BANK) || c->to == GetPlug(PN_PATCH)) {
    presets_.Select(0, bank_, patch_);
    return;
  }
  if (!font_) return;
  Wake();
  ChooseProcess();
}

template <bool GateRuns, bool PitchRuns, bool Stereo>
void ug_osc_sf::Play(int offset, int count) {
  const float* table = sinc_->Data();
  for (int i = 0; i < count; ++i) {
    const int at = offset + i;
    const bool high = (GateRuns ? gate_[at] : gateValue_) > 0.0f;
    if (high && !gateHigh_) {
      gateHigh_ = true;
      if (StartNote(clock + i, pitch_[at], velocity_[at]) && voice_.zone.playback.stereo != Stereo) {
        // The new zone has the other channel count: go on in that variant.
        ChooseProcess();
        const ProcessFunction variant = process;
        (this->*variant)(at, count - i);
        return;
      }
    }
    gateHigh_ = high;
    if (playing_) {
      if constexpr (PitchRuns) voice_.reader.inc = IncrementFor(pitch_[at]);
      if (kr::dsp::sample_voice::Advance(voice_.reader, high)) {
        const float l = kr::dsp::sample_voice::ReadFirst(voice_.reader, table);
        left_[at] = l;
        right_[at] = Stereo ? kr::dsp::sample_voice::ReadSecond(voice_.reader, table) : l;
        continue;
      }
      EndNote(clock + i);
    }
    left_[at] = right_[at] = 0.0f;
  }
  if (!playing_ && !GateRuns) ChooseProcess();
}

void ug_osc_sf::EndNote(int time) {
  playing_ = false;
  GetPlug(PN_LEFT)->SetState(time, ST_STOP);
  GetPlug(PN_RIGHT)->SetState(time, ST_STOP);
}

void ug_osc_sf::Idle(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) {
    std::fill_n(left_ + at, n, 0.0f);
    std::fill_n(right_ + at, n, 0.0f);
  });
}

}  // namespace kr
