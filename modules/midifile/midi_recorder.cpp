#include "modules/midifile/midi_recorder.h"

#include <algorithm>
#include <array>

#include "engine/audio_master.h"
#include "formats/midifile/midi_file_writer.h"
#include "modules/midi/midi_channel_lists.h"
#include "modules/module_file_reader.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
constexpr std::uint16_t kMillisecondDivision = 0xE728;  // 25 frames a second, 40 ticks a frame
constexpr std::size_t kRingBytes = 1 << 16;
constexpr std::size_t kHeadBytes = 22;
}  // namespace

void ug_midi_recorder::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_recorder> kPlugs[] = {
      {.at = PN_FILE,
       .name = "File Name",
       .type = DT_TEXT,
       .defaultText = "kestrun",
       .list = "mid",
       .flags = PF_FILENAME,
       .hint = "A MIDI (*.mid) file.",
       .bind = &ug_midi_recorder::fileName_},
      {.at = PN_MIDI, .name = "MIDI In", .type = DT_MIDI, .bind = &ug_midi_recorder::midiIn_},
      {.at = PN_CHANNEL,
       .name = "Channel",
       .type = DT_ENUM,
       .defaultText = "-1",
       .list = midi_lists::kChannelOrAll,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel",
       .bind = &ug_midi_recorder::channel_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_midi_recorder::Open() {
  ug_base::Open();
  midiIn_.channel = channel_;
  recording_ = false;
  reported_ = false;
  lastMs_ = 0;
  rate_ = audioMaster != nullptr ? static_cast<std::int64_t>(audioMaster->SampleRate()) : 44100;
  if (rate_ <= 0) rate_ = 44100;
  SetProcessFunction(&ug_base::SleepCheck);
  if ((flags & UGF_CLONE) != 0) return;  // one take per module, never per voice
  const std::string target = kr::modules::WritePathFor(*this, fileName_, "mid");
  const std::string path = target.empty() ? std::string() : kr::modules::FreeTakePath(target);
  auto header = [](std::uint64_t data) {
    std::vector<std::uint8_t> head;
    const auto mthd = kr::midifile::HeaderChunk(0, 1, kMillisecondDivision);
    const auto mtrk = kr::midifile::TrackChunkHead(static_cast<std::uint32_t>(data));
    head.insert(head.end(), mthd.begin(), mthd.end());
    head.insert(head.end(), mtrk.begin(), mtrk.end());
    return head;
  };
  if (path.empty() || !writer_.Open(path, kRingBytes, header, 0xFFFFFFFFull - kHeadBytes - 4)) {
    MessageBox("File open error : " + (path.empty() ? fileName_ : path));
    return;
  }
  recording_ = true;
}

void ug_midi_recorder::HandleEvent(ug_event* event) {
  if (event->type != UET_MIDI) return ug_base::HandleEvent(event);
  Record(event->time, static_cast<std::uint32_t>(event->value));
}

void ug_midi_recorder::Record(int time, std::uint32_t word) {
  if (!recording_) return;
  std::uint32_t status = word & 0xF0u;
  if (status == 0xF0u || status < 0x80u) return;  // system messages are not recorded
  const auto d1 = static_cast<std::uint8_t>((word >> 8) & 0x7Fu);
  const auto d2 = static_cast<std::uint8_t>((word >> 16) & 0x7Fu);
  if (status == 0x90u && d2 == 0) status = 0x80u;
  const std::int64_t ms = static_cast<std::int64_t>(time < 0 ? 0 : time) * 1000 / rate_;
  const std::int64_t delta = ms > lastMs_ ? ms - lastMs_ : 0;
  std::array<std::uint8_t, 4> vlq{};
  std::array<std::uint8_t, 7> bytes{};
  const std::size_t n = kr::midifile::EncodeVariableLength(static_cast<std::uint32_t>(std::min<std::int64_t>(delta, 0x0FFFFFFF)), vlq);
  std::size_t at = 0;
  for (std::size_t i = 0; i < n; ++i) bytes[at++] = vlq[i];
  // Every message goes on the first channel, as the recorder always has.
  bytes[at++] = static_cast<std::uint8_t>(status);
  bytes[at++] = d1;
  if (status != 0xC0u && status != 0xD0u) bytes[at++] = d2;
  if (writer_.Write(std::span<const std::uint8_t>(bytes.data(), at))) {
    lastMs_ = ms;
  } else if (!reported_) {
    reported_ = true;
    MessageBox("Error writing file");
  }
}

void ug_midi_recorder::Close() {
  static constexpr std::array<std::uint8_t, 4> kEndOfTrack{0x00, 0xFF, 0x2F, 0x00};
  writer_.Close(kEndOfTrack);
  recording_ = false;
  ug_base::Close();
}

}  // namespace kr
