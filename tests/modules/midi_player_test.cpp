// "MIDI Player" through the engine: every note of Debian's MIDI files at the
// sample the tempo arithmetic gives, start and stop, bad files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "formats/midifile/midi_file.h"
#include "formats/midifile/midi_file_writer.h"
#include "modules/midifile/midi_player.h"
#include "support/sample_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct PlayerRig {
  explicit PlayerRig(const Bytes& file, std::map<int, std::string> values = {}) : engine(512) {
    engine.Write("song.mid", file);
    player = engine.root.Add<ug_midi_player>(10);
    log = engine.root.Add<krtest::Recorder>(1);
    Connect(player->GetPlug(ug_midi_player::PN_OUT), log->GetPlug(2));
    values.emplace(ug_midi_player::PN_FILE, "song");
    krtest::ApplyInputs(*player, values);
    engine.Start();
  }
  std::vector<std::pair<int, std::uint32_t>> Midi() const {
    std::vector<std::pair<int, std::uint32_t>> out;
    for (const auto& e : log->log)
      if (e.what == 'e' && e.a == UET_MIDI) out.emplace_back(e.time, static_cast<std::uint32_t>(e.b));
    return out;
  }
  FileEngine engine;
  ug_midi_player* player;
  krtest::Recorder* log;
};

// Where each channel message belongs: ticks to samples through the file's
// tempo changes, bpm = 60000000 / microseconds (whole), held to 10 ... 300.
std::vector<std::pair<double, std::uint32_t>> ExpectedTimes(const kr::midifile::MidiFile& file, double rate) {
  struct Change {
    std::uint64_t tick;
    double bpm;
  };
  std::vector<Change> tempo{{0, 120.0}};
  for (const auto& t : file.tracks)
    for (const auto& e : t.events)
      if (e.kind == kr::midifile::EventKind::Tempo)
        tempo.push_back({e.tick, std::clamp(static_cast<double>(60000000u / e.microsPerQuarter), 10.0, 300.0)});
  std::stable_sort(tempo.begin(), tempo.end(), [](auto& a, auto& b) { return a.tick < b.tick; });
  const double division = file.division.ticksPerQuarter;
  const auto samplesAt = [&](std::uint64_t tick) {
    double s = 0.0;
    for (std::size_t i = 0; i < tempo.size() && tempo[i].tick < tick; ++i) {
      const std::uint64_t to = i + 1 < tempo.size() ? std::min(tempo[i + 1].tick, tick) : tick;
      s += static_cast<double>(to - tempo[i].tick) * rate * 60.0 / (tempo[i].bpm * division);
    }
    return s;
  };
  std::vector<std::pair<double, std::uint32_t>> out;
  for (const auto& t : file.tracks)
    for (const auto& e : t.events)
      if (e.kind == kr::midifile::EventKind::Channel)
        out.emplace_back(samplesAt(e.tick), e.status | e.data1 << 8 | e.data2 << 16);
  return out;
}

}  // namespace

TEST(MidiPlayer, DebianFilesPutEveryNoteAtItsSample) {
  const std::filesystem::path dir = "/usr/share/faust/examples/physicalModeling/faust-stk/pd-patches/fancy";
  REQUIRE_FILE(dir);
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (entry.path().extension() != ".mid") continue;
    const Bytes bytes = ReadFile(entry.path());
    const auto read = kr::midifile::ReadMidiFile(bytes);
    ASSERT_TRUE(read.file) << entry.path();
    auto expected = ExpectedTimes(*read.file, 44100.0);
    PlayerRig rig(bytes);
    double last = 0.0;
    for (const auto& e : expected) last = std::max(last, e.first);
    rig.engine.Render(static_cast<int>(last) + 44100, 512);
    std::vector<std::pair<int, std::uint32_t>> got;
    for (const auto& m : rig.Midi())
      if ((m.second & 0xF0) < 0xF0) got.push_back(m);
    ASSERT_EQ(got.size(), expected.size()) << entry.path();
    // Same messages, each within one sample of its place (ties in file order).
    std::stable_sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.first < b.first; });
    double worst = 0.0;
    for (const auto& g : got) {
      const auto it = std::min_element(expected.begin(), expected.end(), [&](auto& a, auto& b) {
        const double da = a.second == g.second ? std::abs(a.first - g.first) : 1e18;
        const double db = b.second == g.second ? std::abs(b.first - g.first) : 1e18;
        return da < db;
      });
      worst = std::max(worst, std::abs(it->first - g.first));
    }
    EXPECT_LE(worst, 1.0) << entry.path();
    std::printf("  %s: %zu messages, worst placement %.3f samples from the tempo arithmetic\n",
                entry.path().filename().string().c_str(), got.size(), worst);
    ++files;
  }
  EXPECT_EQ(files, 5);
}

TEST(MidiPlayer, StartsWithClockEventsThenStartAndStopsItselfOnly) {
  const Bytes file = kr::midifile::WriteMidiFile(0, 96, {{{0, {0x90, 60, 100}}, {0, {0xC5, 7}}, {96, {0x80, 60, 0}}}});
  PlayerRig rig(file);
  rig.engine.Render(44100);
  const auto midi = rig.Midi();
  ASSERT_GE(midi.size(), 4u);
  EXPECT_EQ(midi[0], (std::pair<int, std::uint32_t>{0, 0xF8}));
  EXPECT_EQ(midi[1], (std::pair<int, std::uint32_t>{0, 0x643C90}));
  EXPECT_EQ(midi[2], (std::pair<int, std::uint32_t>{0, 0x07C5}));
  EXPECT_EQ(midi[3], (std::pair<int, std::uint32_t>{0, 0xFA}));
  EXPECT_EQ(std::count(midi.begin(), midi.end(), std::pair<int, std::uint32_t>{22050, 0xFC}), 1);
  EXPECT_EQ(midi.back().second, 0xFCu) << "nothing after the stop";
  EXPECT_FALSE(rig.player->Playing());
  EXPECT_TRUE(rig.engine.master.running) << "the engine goes on";
}

TEST(MidiPlayer, TheTempoInputSetsBpmWhenFileTempoIsIgnored) {
  const Bytes file = kr::midifile::WriteMidiFile(
      0, 96, {{{0, kr::midifile::TempoEvent(500000)}, {96, {0x90, 60, 100}}}});
  PlayerRig rig(file, {{ug_midi_player::PN_TEMPO, "6"}, {ug_midi_player::PN_IGNORE_TEMPO, "1"}});
  rig.engine.Render(60000);
  int at = -1;
  for (const auto& m : rig.Midi())
    if (m.second == 0x643C90) at = m.first;
  EXPECT_EQ(at, 44100) << "one quarter at 60 bpm (6 V)";
}

TEST(MidiPlayer, BadFilesGetTheirMessageAndSilence) {
  const Bytes good = kr::midifile::WriteMidiFile(0, 96, {{{0, {0x90, 60, 100}}}});
  Bytes zeroDivision = good;
  zeroDivision[12] = zeroDivision[13] = 0;
  Bytes truncated = good;
  truncated.resize(good.size() - 3);
  Bytes hugeCount = good;
  hugeCount[10] = 0xFF;
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {Bytes{'R', 'I', 'F', 'F', 0, 0}, "This is NOT a Standard MIDI File"},
      {zeroDivision, "the division is 0 ticks per quarter note"},
      {truncated, "declares"},
      {hugeCount, "declares 65281"},
  };
  for (const auto& [bytes, message] : cases) {
    PlayerRig rig(bytes);
    rig.engine.Render(4096);
    ASSERT_EQ(rig.engine.host.boxes.size(), 1u) << message;
    EXPECT_NE(rig.engine.host.boxes[0].find(message), std::string::npos) << rig.engine.host.boxes[0];
    EXPECT_TRUE(rig.Midi().empty()) << message;
  }
  FileEngine engine;
  auto* player = engine.root.Add<ug_midi_player>(10);
  krtest::ApplyInputs(*player, {{ug_midi_player::PN_FILE, "missing"}});
  engine.Start();
  ASSERT_EQ(engine.host.boxes.size(), 1u);
  EXPECT_NE(engine.host.boxes[0].find("Cannot Find/Load this file.  Check your Audio Preferences MIDI path setting: missing"),
            std::string::npos);
}
