// "Wave Recorder" and "MIDI Recorder": what reaches the file, a header that
// is valid while the take is still being written, numbered takes on
// restart, names that would leave the plug-in's folder, voice copies.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "formats/midifile/midi_file.h"
#include "formats/riff/riff_reader.h"
#include "formats/wave/wave_reader.h"
#include "modules/midifile/midi_recorder.h"
#include "modules/sampler/wave_out.h"
#include "support/sample_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct RecorderRig {
  RecorderRig(std::map<int, std::string> values, bool stereo, std::function<float(int)> f) : engine(64) {
    source = engine.root.Add<krtest::FunctionSource>(10);
    source->f = std::move(f);
    recorder = engine.root.Add<ug_wave_recorder>(1);
    Connect(source->GetPlug(0), recorder->GetPlug(ug_wave_out::PN_LEFT));
    if (stereo) {
      auto* right = engine.root.Add<krtest::FunctionSource>(11);
      right->f = [](int t) { return -0.25f; };
      Connect(right->GetPlug(0), recorder->GetPlug(ug_wave_out::PN_RIGHT));
    }
    krtest::ApplyInputs(*recorder, values);
  }
  FileEngine engine;
  krtest::FunctionSource* source;
  ug_wave_recorder* recorder;
};

// Waits (a bounded while) for the writer thread to catch up with the file.
Bytes WhenWritten(const std::filesystem::path& p, std::size_t bytes) {
  Bytes b;
  for (int i = 0; i < 400; ++i) {
    if (std::filesystem::exists(p) && std::filesystem::file_size(p) >= bytes) {
      b = ReadFile(p);
      if (b.size() >= bytes && kr::riff::U32(b, 40) + 44 == b.size()) return b;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return ReadFile(p);
}

}  // namespace

TEST(WaveRecorder, SixteenBitMonoTakeIsValidWhileItIsWritten) {
  RecorderRig rig({{ug_wave_out::PN_FILE, "take"}, {ug_wave_out::PN_TIME, "100"}}, false, [](int t) {
    return t == 0 ? 0.5f : t == 1 ? 1.0f : t == 2 ? -1.0f : 0.25f;
  });
  rig.engine.Start();
  rig.engine.Render(4410);
  const std::filesystem::path path = rig.engine.dir.path() / "take.wav";
  // Not closed yet: the header already describes every sample on disk.
  const Bytes live = WhenWritten(path, 44 + 2 * 4410);
  const auto info = kr::wave::ReadWave(live).info;
  ASSERT_TRUE(info);
  EXPECT_EQ(info->frames, 4410u);
  rig.recorder->Close();
  const Bytes done = ReadFile(path);
  ASSERT_EQ(done.size(), 44u + 2 * 4410);
  EXPECT_EQ(kr::riff::U16(done, 22), 1u) << "channels";
  EXPECT_EQ(kr::riff::U32(done, 28), 88200u) << "byte rate";
  EXPECT_EQ(kr::riff::U16(done, 32), 2u) << "block align";
  EXPECT_EQ(static_cast<std::int16_t>(kr::riff::U16(done, 44)), 16384) << "0.5 (5 V)";
  EXPECT_EQ(static_cast<std::int16_t>(kr::riff::U16(done, 46)), 32735) << "1.0, clamped to 0.999";
  EXPECT_EQ(static_cast<std::int16_t>(kr::riff::U16(done, 48)), -32735);
  EXPECT_EQ(static_cast<std::int16_t>(kr::riff::U16(done, 50)), 8192);
}

TEST(WaveRecorder, FloatStereoKeepsValuesAndTheTimeLimitEndsTheTakeOnly) {
  RecorderRig rig({{ug_wave_out::PN_FILE, "take.wav"}, {ug_wave_out::PN_FORMAT, "1"}, {ug_wave_out::PN_TIME, "0.01"}},
                  true, [](int t) { return static_cast<float>(t) * 1e-3f; });
  rig.engine.Start();
  rig.engine.Render(2000);
  EXPECT_FALSE(rig.recorder->Recording());
  EXPECT_TRUE(rig.engine.master.running) << "the engine goes on";
  rig.recorder->Close();
  const Bytes done = ReadFile(rig.engine.dir.path() / "take.wav");
  const auto info = kr::wave::ReadWave(done).info;
  ASSERT_TRUE(info);
  EXPECT_EQ(info->formatTag, kr::wave::kFormatFloat);
  EXPECT_EQ(kr::riff::U16(done, 32), 8u);
  EXPECT_EQ(info->frames, 441u) << "exactly 0.01 s";
  float l = 0.0f, r = 0.0f;
  std::memcpy(&l, done.data() + 44 + 8 * 300, 4);
  std::memcpy(&r, done.data() + 48 + 8 * 300, 4);
  EXPECT_EQ(l, 300 * 1e-3f);
  EXPECT_EQ(r, -0.25f);
}

TEST(WaveRecorder, ARestartStartsANumberedTakeAndNamesStayInTheFolder) {
  krtest::TempDir keep;
  for (int run = 0; run < 3; ++run) {
    RecorderRig rig({{ug_wave_out::PN_FILE, "take"}}, false, [](int) { return 0.1f; });
    rig.engine.files.folder = keep.path();
    rig.engine.Start();
    rig.engine.Render(100);
    rig.recorder->Close();
  }
  EXPECT_TRUE(std::filesystem::exists(keep.path() / "take.wav"));
  EXPECT_TRUE(std::filesystem::exists(keep.path() / "take-2.wav"));
  EXPECT_TRUE(std::filesystem::exists(keep.path() / "take-3.wav"));

  RecorderRig out({{ug_wave_out::PN_FILE, "../escape"}}, false, [](int) { return 0.1f; });
  out.engine.Start();
  out.engine.Render(100);
  ASSERT_EQ(out.engine.host.boxes.size(), 1u);
  EXPECT_NE(out.engine.host.boxes[0].find("File open error : ../escape"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(out.engine.dir.path().parent_path() / "escape.wav"));
}

TEST(WaveRecorder, AVoiceCopyNeverWrites) {
  RecorderRig rig({{ug_wave_out::PN_FILE, "take"}}, false, [](int) { return 0.1f; });
  std::unique_ptr<ug_base> copy = rig.recorder->Clone();
  copy->audioMaster = &rig.engine.master;
  copy->Open();
  EXPECT_FALSE(static_cast<ug_wave_recorder&>(*copy).Recording());
  EXPECT_TRUE(static_cast<ug_wave_recorder&>(*copy).TakePath().empty());
  copy->Close();
  EXPECT_FALSE(std::filesystem::exists(rig.engine.dir.path() / "take.wav"));
}

TEST(MidiRecorder, TheFileReadBackHoldsWhatItHeard) {
  FileEngine engine(64);
  auto* source = engine.root.Add<krtest::MidiSource>(10);
  auto* recorder = engine.root.Add<ug_midi_recorder>(1);
  Connect(source->GetPlug(0), recorder->GetPlug(ug_midi_recorder::PN_MIDI));
  krtest::ApplyInputs(*recorder, {{ug_midi_recorder::PN_FILE, "played"}});
  engine.Start();
  struct Sent {
    int time;
    std::uint32_t word;
  };
  const std::vector<Sent> sent = {{0, 0x403C90},    {441, 0x003C90},  {1000, 0x00403E91}, {1102, 0x0005C3},
                                  {1500, 0x00F8},   {2205, 0x403C80}, {44100, 0x7F40B0}, {44210, 0x003E90}};
  std::size_t next = 0;
  for (int block = 0; block < 44300 / 64 + 1; ++block) {
    const int start = block * 64;
    bool any = false;
    while (next < sent.size() && sent[next].time < start + 64) {
      source->GetPlug(0)->SendMidi(sent[next].time, sent[next].word);
      ++next;
      any = true;
    }
    if (any) source->GetPlug(0)->WakeReceivers();
    engine.master.Process(64);
  }
  recorder->Close();
  const Bytes bytes = ReadFile(engine.dir.path() / "played.mid");
  const auto read = kr::midifile::ReadMidiFile(bytes);
  ASSERT_TRUE(read.file) << read.error;
  EXPECT_TRUE(read.file->division.timeCode);
  EXPECT_EQ(read.file->division.framesPerSecond, 25);
  EXPECT_EQ(read.file->division.ticksPerFrame, 40) << "one tick a millisecond";
  ASSERT_EQ(read.file->tracks.size(), 1u);
  std::vector<std::tuple<std::uint64_t, int, int, int>> got;
  for (const auto& e : read.file->tracks[0].events)
    if (e.kind == kr::midifile::EventKind::Channel) got.emplace_back(e.tick, e.status, e.data1, e.data2);
  // Milliseconds truncated; all on the first channel; velocity 0 note-ons
  // as note-offs; the clock (a system message) left out.
  const std::vector<std::tuple<std::uint64_t, int, int, int>> want = {
      {0, 0x90, 0x3C, 0x40}, {10, 0x80, 0x3C, 0}, {22, 0x90, 0x3E, 0x40}, {24, 0xC0, 5, 0},
      {50, 0x80, 0x3C, 0x40}, {1000, 0xB0, 0x40, 0x7F}, {1002, 0x80, 0x3E, 0}};
  EXPECT_EQ(got, want);
}
