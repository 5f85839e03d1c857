#include "modules/sampler/wave_out.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/audio_master.h"
#include "engine/connector.h"
#include "formats/wave/wave_writer.h"
#include "modules/io/sound_card.h"
#include "modules/module_file_reader.h"
#include "modules/sampler/wave_file_hint.h"
#include "platform/platform.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
constexpr double kRingSeconds = 2.0;

std::int16_t Pcm16(float sample) {
  const float clamped = std::clamp(std::isnan(sample) ? 0.0f : sample, -0.999f, 0.999f);
  return static_cast<std::int16_t>(std::nearbyint(clamped * 32768.0f));  // ties to even
}
// A wire feeds the input: a connection from anything but the holders of
// unwired inputs' constant values (the container's I/O module and its
// patch-parameter setter).
bool Wired(UPlug& input) {
  for (const connector* c : input.connections) {
    const ug_base* from = c->from != nullptr ? c->from->owner : nullptr;
    if (from != nullptr && (from->flags & (UGF_IO_MOD | UGF_PATCH_PARAM_SETTER)) == 0) return true;
  }
  return false;
}
}  // namespace

void ug_wave_out::ListCommonPlugs(InterfaceList& list) {
  ListPlug(list, *this,
           PlugDecl<ug_wave_out>{
               .at = PN_LEFT, .name = "Left (Mono)", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_wave_out::left_});
  ListPlug(
      list, *this,
      PlugDecl<ug_wave_out>{.at = PN_RIGHT, .name = "Right", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_wave_out::right_});
  ListPlug(list, *this,
           PlugDecl<ug_wave_out>{.at = PN_FILE, .name = "File Name",
                                 .type = DT_TEXT,
                                 .defaultText = "Wavefile",
                                 .list = "wav",
                                 .flags = PF_FILENAME,
                                 .hint = kWaveFileHint,
                                 .bind = &ug_wave_out::fileName_});
}

void ug_wave_out::ListInterface(InterfaceList& list) {
  ListCommonPlugs(list);
  static constexpr PlugDecl<ug_wave_out> kPlugs[] = {
      {.at = PN_FORMAT,
       .name = "Mode",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "1",
       .list = "File,Speaker,No Audio",
       .hint = "Sets where the sound goes",
       .bind = &ug_wave_out::format_},
      {.at = PN_TIME,
       .name = "Sample Time",
       .direction = DR_PARAMETER,
       .type = DT_DOUBLE,
       .defaultText = "4",
       .hint = "Sets length of WAV file, in seconds",
       .bind = &ug_wave_out::timeLimit_},
      {.at = PN_PLAY,
       .name = "Play Wavefile",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Plays sound once it is written to file",
       .bind = &ug_wave_out::playWhenDone_},
      {.at = PN_STATS,
       .name = "Report Stats",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "After writing to File, shows efficiency statistics",
       .bind = &ug_wave_out::reportStats_},
  };
  static_assert(PlugIndicesMatch(kPlugs, PN_FILE + 1) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_wave_recorder::ListInterface(InterfaceList& list) {
  ListCommonPlugs(list);
  static constexpr PlugDecl<ug_wave_recorder> kPlugs[] = {
      {.name = "Format",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "16 bit, 32 bit float",
       .hint = "Sets the file format",
       .bind = &ug_wave_recorder::format_},
      {.name = "Time Limit",
       .direction = DR_PARAMETER,
       .type = DT_DOUBLE,
       .defaultText = "4",
       .hint = "Sets length of WAV file, in seconds",
       .bind = &ug_wave_recorder::timeLimit_},
      {.name = "Play Wavefile",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Plays sound once it is written to file",
       .bind = &ug_wave_recorder::playWhenDone_},
      {.name = "Report Stats",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "After writing to File, shows efficiency statistics",
       .bind = &ug_wave_recorder::reportStats_},
  };
  static_assert(PlugIndicesMatch(kPlugs, PN_FILE + 1) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_wave_out::Open() {
  ug_base::Open();
  recording_ = false;
  reported_ = false;
  frames_ = 0;
  SetProcessFunction(&ug_wave_out::Idle);
  // "Speaker": inside a plug-in the host owns the device.
  if (!RecordsFile() && format_ == 1) kr::TellHostOwnsSoundCard(*this);
  // Voice copies of a polyphonic container never write: one take per module.
  if (!RecordsFile() || (flags & UGF_CLONE) != 0 || fileName_.empty()) return;
  channels_ = Wired(*GetPlug(PN_RIGHT)) ? 2 : 1;
  float_ = FloatSamples();
  const std::string target = kr::modules::WritePathFor(*this, fileName_, "wav");
  const std::string path = target.empty() ? std::string() : kr::modules::FreeTakePath(target);
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  const auto sampleRate = static_cast<std::uint32_t>(rate);
  const std::size_t frameBytes = static_cast<std::size_t>(channels_) * (float_ ? 4u : 2u);
  const auto ringBytes = static_cast<std::size_t>(rate * kRingSeconds) * frameBytes + 1;
  const bool isFloat = float_;
  const int channels = channels_;
  auto header = [isFloat, channels, sampleRate](std::uint64_t data) {
    const auto h = kr::wave::MakeHeader(isFloat, channels, sampleRate, static_cast<std::uint32_t>(data));
    return std::vector<std::uint8_t>(h.begin(), h.end());
  };
  if (path.empty() || !writer_.Open(path, ringBytes, header, kr::wave::kMaxDataBytes / frameBytes * frameBytes)) {
    MessageBox("File open error : " + (path.empty() ? fileName_ : path));
    return;
  }
  scratch_.assign(static_cast<std::size_t>(BlockLength()) * frameBytes, 0);
  // Made here: the audio thread only sends it.
  behindText_ = "The recording could not keep up with the disk; some sound was left out of " + writer_.Path();
  recording_ = true;
  startMs_ = platform::MilliSeconds();
  startClock_ = clock;
  SetProcessFunction(&ug_wave_out::Record);
  if (std::isfinite(timeLimit_) && timeLimit_ > 0.0) {
    const double samples = std::min(std::floor(rate * timeLimit_), static_cast<double>(std::numeric_limits<int>::max() / 2));
    // The take holds exactly Time Limit seconds.
    QueueCall(clock + static_cast<int>(samples), &ug_wave_out::TimeLimitReached);
  }
}

void ug_wave_out::TimeLimitReached(ug_base& module) {
  auto& self = static_cast<ug_wave_out&>(module);
  self.recording_ = false;  // the take ends; Close finishes the file
  self.SetProcessFunction(&ug_wave_out::Idle);
}

void ug_wave_out::Idle(int offset, int count) { SleepCheck(offset, count); }

void ug_wave_out::Record(int offset, int count) {
  if (!recording_) return;
  if (writer_.WriteFailed()) {
    recording_ = false;
    MessageBox("Error writing file");
    SetProcessFunction(&ug_wave_out::Idle);
    return;
  }
  std::size_t at = 0;
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < channels_; ++c) {
      const float v = (c == 0 ? left_ : right_)[offset + i];
      if (float_) {
        std::memcpy(scratch_.data() + at, &v, 4);
        at += 4;
      } else {
        const auto s = static_cast<std::uint16_t>(Pcm16(v));
        scratch_[at++] = static_cast<std::uint8_t>(s);
        scratch_[at++] = static_cast<std::uint8_t>(s >> 8);
      }
    }
  }
  if (writer_.Write(std::span<const std::uint8_t>(scratch_.data(), at))) {
    frames_ += static_cast<std::uint64_t>(count);
  } else if (writer_.LimitReached()) {
    recording_ = false;
    MessageBox("The recording reached the largest size a WAVE file can hold (4 GB); it ends there.");
    SetProcessFunction(&ug_wave_out::Idle);
  } else if (!reported_) {
    reported_ = true;  // the writer fell behind: say so once
    MessageBox(behindText_);
  }
}

void ug_wave_out::Close() {
  const bool hadTake = writer_.IsOpen();
  writer_.Close();
  recording_ = false;
  if (hadTake && reportStats_) {
    const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
    const double soundSeconds = static_cast<double>(clock - startClock_) / rate;
    const double cpuSeconds = static_cast<double>(platform::MilliSeconds() - startMs_) / 1000.0;
    char text[160];
    std::snprintf(text, sizeof text, "%.1f seconds of sound rendered in %.2f s.  Efficiency = %.2f%%\n", soundSeconds,
                  cpuSeconds, cpuSeconds > 0.0 ? soundSeconds / cpuSeconds * 100.0 : 0.0);
    MessageBox(text);
  }
  ug_base::Close();
}

void ug_wave_out::OnPlugStateChange(int time, connector* c, PlugState) {
  UPlug* to = c != nullptr ? c->to : nullptr;
  if ((to == GetPlug(PN_FILE) || to == GetPlug(PN_FORMAT)) && clock >= 6 && (flags & UGF_CLONE) == 0)
    MessageBox("For change to take effect, Restart sound");
}

}  // namespace kr
