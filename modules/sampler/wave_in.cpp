#include "modules/sampler/wave_in.h"

#include <algorithm>
#include <cmath>

#include "dsp/sample_voice.h"
#include "dsp/sinc_interpolation.h"
#include "engine/audio_master.h"
#include "formats/wave/wave_reader.h"
#include "modules/io/sound_card.h"
#include "modules/module_file_reader.h"
#include "modules/render_table.h"
#include "modules/sampler/wave_file_hint.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
constexpr const char* kRestartMessage = "For change to take effect, Restart sound";
}  // namespace

std::unique_ptr<ug_base> ug_wave_in::Clone() {
  if (!file_) file_ = std::make_shared<SharedFile>();
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_wave_in&>(*copy).file_ = file_;
  static_cast<ug_wave_in&>(*copy).sinc_ = sinc_;
  return copy;
}

void ug_wave_in::ListFilePlugs(InterfaceList& list, const char* gateDefault) {
  ListPlug(list, *this,
           PlugDecl<ug_wave_in>{.at = PN_GATE, .name = "Gate",
                                .defaultText = gateDefault,
                                .flags = PF_CONTROL,
                                .hint = "Triggers wave file playback",
                                .bind = &ug_wave_in::gate_});
  ListPlug(list, *this,
           PlugDecl<ug_wave_in>{.at = PN_PITCH, .name = "Pitch Shift",
                                .defaultText = "5",
                                .list = "100, 0, 10, 0",
                                .flags = PF_CONTROL,
                                .hint = "1 Volt per Octave, 5V = Original Pitch",
                                .bind = &ug_wave_in::pitch_});
  ListPlug(list, *this, PlugDecl<ug_wave_in>{.at = PN_LEFT, .name = "Left Out", .direction = DR_OUT, .bind = &ug_wave_in::left_});
  ListPlug(list, *this, PlugDecl<ug_wave_in>{.at = PN_RIGHT, .name = "Right Out", .direction = DR_OUT, .bind = &ug_wave_in::right_});
  ListPlug(list, *this,
           PlugDecl<ug_wave_in>{.at = PN_FILE, .name = "File Name",
                                .type = DT_TEXT,
                                .defaultText = "Wavefile",
                                .list = "wav",
                                .flags = PF_FILENAME,
                                .hint = kWaveFileHint,
                                .bind = &ug_wave_in::fileName_});
}

void ug_wave_in::ListInterface(InterfaceList& list) {
  ListFilePlugs(list, "1");
  static constexpr PlugDecl<ug_wave_in> kPlugs[] = {
      {.at = PN_MODE,
       .name = "Mode",
       .type = DT_ENUM,
       .defaultText = "1",
       .list = "File,Soundcard In",
       .hint = "Selects either live audio or Wave file playback",
       .bind = &ug_wave_in::mode_},
  };
  static_assert(PlugIndicesMatch(kPlugs, PN_FILE + 1) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_wave_player::ListInterface(InterfaceList& list) { ListFilePlugs(list, "10"); }

void ug_wave_in::Load() {
  if (!file_) file_ = std::make_shared<SharedFile>();
  SharedFile& f = *file_;
  if (f.tried) return;  // read once for the module and its copies
  f.tried = true;
  f.name = fileName_;
  const kr::modules::ModuleFile read = kr::modules::ReadModuleFile(*this, fileName_, "wav");
  if (!read.bytes) {
    MessageBox("Can't open: " + fileName_ +
               ". Check: filename is correct, check it's a WAVE file, check your directory settings "
               "(Audio/Preferences)");
    return;
  }
  const kr::wave::WaveReadResult wave = kr::wave::ReadWave(*read.bytes);
  if (!wave.info) {
    MessageBox(wave.message);
    return;
  }
  const kr::wave::WaveInfo& info = *wave.info;
  f.bytes = read.bytes;
  f.source.data = read.bytes->data() + info.dataOffset;
  f.source.frames = info.frames;
  f.source.channels = info.channels;
  f.source.bits = info.bits;
  f.source.hasLoop = info.hasLoop;
  f.source.loopStart = info.loopStart;
  f.source.loopEnd = info.loopEnd;
  f.sampleRate = info.sampleRate;
  f.ok = true;
}

void ug_wave_in::Open() {
  ug_base::Open();
  if (PlaysFile()) Load();
  // "Soundcard In": inside a plug-in the host owns the device.
  if (!PlaysFile()) kr::TellHostOwnsSoundCard(*this);
  gateHigh_ = false;
  running_ = false;
  if (!Loaded() || !PlaysFile()) {
    StartSettling(&ug_wave_in::Silence);
    GetPlug(PN_LEFT)->SetState(clock, ST_STOP);
    GetPlug(PN_RIGHT)->SetState(clock, ST_STOP);
    return;
  }
  if (!sinc_) sinc_ = kr::dsp::sinc::SharedTable();
  if (!stream_) stream_ = std::make_unique<kr::dsp::wave_stream::State>();
  const double engineRate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  rateRatio_ = static_cast<double>(file_->sampleRate) / engineRate;
  stream_->playing = false;
  stream_->inc = IncrementFor(GetPlug(PN_PITCH)->GetValueNow());
  ChooseProcess();
}

std::uint32_t ug_wave_in::IncrementFor(float pitch) const {
  const double octaves = std::clamp((static_cast<double>(pitch) - 0.5) * 10.0, -64.0, 64.0);
  return kr::dsp::sample_voice::Increment(std::exp2(octaves) * rateRatio_, kr::dsp::wave_stream::kMaxStep);
}

void ug_wave_in::ChooseProcess() {
  const bool gateRuns = GetPlug(PN_GATE)->state == ST_RUN;
  const bool pitchRuns = GetPlug(PN_PITCH)->state == ST_RUN;
  if (!gateRuns) gateValue_ = GetPlug(PN_GATE)->GetValueNow();
  if (!pitchRuns) stream_->inc = IncrementFor(GetPlug(PN_PITCH)->GetValueNow());
  const bool edgeAhead = gateValue_ > 0.0f && !gateHigh_;
  if (!gateRuns && !stream_->playing && !edgeAhead) {
    gateHigh_ = gateValue_ > 0.0f;
    StartSettling(&ug_wave_in::Silence);
    return;
  }
  static constexpr auto kRenders =
      kr::RenderTable<4>([](auto i) { return &ug_wave_in::Play<kr::Bit<1>(i), kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(gateRuns, pitchRuns)]);
}

void ug_wave_in::OnPlugStateChange(int time, connector* c, PlugState) {
  UPlug* to = c != nullptr ? c->to : nullptr;
  if (to == GetPlug(PN_FILE) || (to != nullptr && PlugCount() > PN_MODE && to == GetPlug(PN_MODE))) {
    // Files are read at Open only: never on the audio thread.
    const bool changed = to == GetPlug(PN_FILE) ? (file_ && fileName_ != file_->name) : true;
    if (changed && clock >= 6 && (flags & UGF_CLONE) == 0) MessageBox(kRestartMessage);
    return;
  }
  if (!Loaded() || !PlaysFile() || !stream_) return;
  Wake();
  ChooseProcess();
}

void ug_wave_in::Silence(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) {
    std::fill_n(left_ + at, n, 0.0f);
    std::fill_n(right_ + at, n, 0.0f);
  });
}

void ug_wave_in::Stop(int time) {
  running_ = false;
  GetPlug(PN_LEFT)->SetState(time, ST_STOP);
  GetPlug(PN_RIGHT)->SetState(time, ST_STOP);
}

template <bool GateRuns, bool PitchRuns>
void ug_wave_in::Play(int offset, int count) {
  const kr::dsp::wave_stream::Source& source = file_->source;
  kr::dsp::wave_stream::State& st = *stream_;
  const float* table = sinc_->Data();
  for (int i = 0; i < count; ++i) {
    const int at = offset + i;
    const bool high = (GateRuns ? gate_[at] : gateValue_) > 0.0f;
    if constexpr (PitchRuns) st.inc = IncrementFor(pitch_[at]);
    if (high && !gateHigh_) {
      kr::dsp::wave_stream::Restart(st, source, true);
      if (!running_) {
        running_ = true;
        GetPlug(PN_LEFT)->SetState(clock + i, ST_RUN);
        GetPlug(PN_RIGHT)->SetState(clock + i, ST_RUN);
      }
    }
    gateHigh_ = high;
    float l = 0.0f, r = 0.0f;
    if (st.playing && !kr::dsp::wave_stream::Next(st, source, high, table, l, r)) {
      l = r = 0.0f;
      Stop(clock + i);
      if constexpr (!GateRuns) {
        std::fill(left_ + at, left_ + offset + count, 0.0f);
        std::fill(right_ + at, right_ + offset + count, 0.0f);
        StartSettling(&ug_wave_in::Silence);
        return;
      }
    }
    left_[at] = l;
    right_[at] = r;
  }
}

}  // namespace kr
