// "Wave Player" and "Audio In" play WAVE files: values, loops (the smpl
// loop's last frame is played), gate edges, the Debian and sox-made files,
// and bad files (each with its message, then silence).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "formats/wave/wave_reader.h"
#include "modules/sampler/wave_in.h"
#include "support/sample_rig.h"

using namespace kr;

using namespace krtest;
using krtest::StepSource;
using krtest::Tap;

namespace {

struct WavePlayerRig {
  explicit WavePlayerRig(const Bytes& file, bool gateSource = false, double rate = 44100.0) : engine(64, rate) {
    engine.Write("take.wav", file);
    player = engine.root.Add<ug_wave_player>(10);
    left = engine.root.Add<Tap>(1);
    right = engine.root.Add<Tap>(2);
    Connect(player->GetPlug(ug_wave_in::PN_LEFT), left->GetPlug(0));
    Connect(player->GetPlug(ug_wave_in::PN_RIGHT), right->GetPlug(0));
    if (gateSource) {
      gate = engine.root.Add<StepSource>(20);
      Connect(gate->GetPlug(0), player->GetPlug(ug_wave_in::PN_GATE));
    }
    krtest::ApplyInputs(*player, {{ug_wave_in::PN_FILE, "take"}});
    engine.Start();
  }
  // Frame numbers of a file whose frame i holds (i + 1) × 100.
  std::vector<int> Frames() const {
    std::vector<int> out;
    for (float v : left->samples) out.push_back(static_cast<int>(std::lround(v * 65536.0 / 100.0)) - 1);
    return out;
  }
  FileEngine engine;
  ug_wave_player* player;
  StepSource* gate = nullptr;
  Tap* left;
  Tap* right;
};

Bytes RampWave(int frames, bool loop = false, std::uint32_t first = 0, std::uint32_t last = 0) {
  WaveSpec w;
  std::vector<int> v;
  for (int i = 0; i < frames; ++i) v.push_back((i + 1) * 100);
  w.data = Pcm16(v);
  w.loop = loop;
  w.loopStart = first;
  w.loopLast = last;
  return MakeWave(w);
}

std::vector<int> Spans(std::initializer_list<std::pair<int, int>> runs) {
  std::vector<int> out;
  for (auto [from, to] : runs)
    for (int i = from; i < to; ++i) out.push_back(i);
  return out;
}

}  // namespace

TEST(WavePlayer, ConvertsEachWidthToTheSameScale) {
  WaveSpec eight;
  eight.bits = 8;
  eight.data = {128, 255, 0, 128};
  WavePlayerRig a(MakeWave(eight));
  a.engine.Render(8);
  EXPECT_FLOAT_EQ(a.left->samples[0], 0.0f);
  EXPECT_FLOAT_EQ(a.left->samples[1], 0.248046875f);
  EXPECT_FLOAT_EQ(a.left->samples[2], -0.25f);

  WaveSpec sixteen;
  sixteen.data = Pcm16({16384, -32768});
  WavePlayerRig b(MakeWave(sixteen));
  b.engine.Render(4);
  EXPECT_FLOAT_EQ(b.left->samples[0], 0.25f) << "2.5 V";
  EXPECT_FLOAT_EQ(b.left->samples[1], -0.5f);

  WaveSpec stereo;
  stereo.tag = 3;
  stereo.bits = 32;
  stereo.channels = 2;
  for (float f : {0.5f, -1.0f, std::nanf(""), 0.25f}) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&f);
    stereo.data.insert(stereo.data.end(), p, p + 4);
  }
  WavePlayerRig c(MakeWave(stereo));
  c.engine.Render(4);
  EXPECT_FLOAT_EQ(c.left->samples[0], 0.25f);
  EXPECT_FLOAT_EQ(c.right->samples[0], -0.5f);
  EXPECT_FLOAT_EQ(c.left->samples[1], 0.0f) << "a NaN in the file plays as silence";
  EXPECT_FLOAT_EQ(c.right->samples[1], 0.125f);
}

TEST(WavePlayer, PlaysOnceThenStops) {
  WavePlayerRig rig(RampWave(10));
  rig.engine.Render(64);
  const std::vector<int> got = rig.Frames();
  EXPECT_EQ(std::vector<int>(got.begin(), got.begin() + 10), Spans({{0, 10}}));
  for (std::size_t i = 10; i < got.size(); ++i) EXPECT_EQ(rig.left->samples[i], 0.0f) << i;
  EXPECT_EQ(rig.player->GetPlug(ug_wave_in::PN_LEFT)->state, ST_STOP);
}

// The smpl chunk names the loop's last frame; it is played.
TEST(WavePlayer, LoopsWhileTheGateIsHighIncludingTheLastLoopFrame) {
  WavePlayerRig rig(RampWave(10, true, 2, 5));
  rig.engine.Render(22);
  EXPECT_EQ(rig.Frames(), Spans({{0, 6}, {2, 6}, {2, 6}, {2, 6}, {2, 6}}));
}

TEST(WavePlayer, AFallingGatePlaysOnToTheEndAndARisingOneRestarts) {
  WavePlayerRig rig(RampWave(10, true, 2, 5), true);
  rig.gate->ScheduleStep(0, 1.0f);
  rig.gate->ScheduleStep(20, 0.0f);
  rig.engine.Render(9000);
  const std::vector<int> got = rig.Frames();
  // Loops until the buffered repetitions run out, then frames 6 ... 9 once, then silence.
  std::size_t last = 0;
  for (std::size_t i = 0; i < got.size(); ++i)
    if (got[i] >= 6) last = i;
  ASSERT_GT(last, 3u);
  EXPECT_EQ(std::vector<int>(got.begin() + static_cast<long>(last) - 3, got.begin() + static_cast<long>(last) + 1),
            Spans({{6, 10}}));
  EXPECT_EQ(got[last - 4], 5) << "straight from the loop's last frame";
  EXPECT_EQ(rig.left->samples[last + 1], 0.0f);
  EXPECT_EQ(rig.player->GetPlug(ug_wave_in::PN_LEFT)->state, ST_STOP);

  rig.gate->ScheduleStep(9003, 1.0f);
  rig.engine.Render(8);
  const std::vector<int> again = rig.Frames();
  EXPECT_EQ(std::vector<int>(again.begin() + 9003, again.begin() + 9008), Spans({{0, 5}})) << "restarted at the edge";
}

TEST(WavePlayer, PitchShiftOfOneOctaveStepsTwoFrames) {
  FileEngine engine;
  engine.Write("take.wav", RampWave(40));
  auto* player = engine.root.Add<ug_wave_player>(10);
  auto* tap = engine.root.Add<Tap>(1);
  Connect(player->GetPlug(ug_wave_in::PN_LEFT), tap->GetPlug(0));
  krtest::ApplyInputs(*player, {{ug_wave_in::PN_FILE, "take.wav"}, {ug_wave_in::PN_PITCH, "6"}});
  engine.Start();
  engine.Render(10);
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(tap->samples[static_cast<std::size_t>(i)] * 65536.0 / 100.0, 2 * i + 1, 1e-3) << i;
}

TEST(WavePlayer, PlaysTheAlsaUtilsFileSampleForSample) {
  const std::filesystem::path file = "/usr/share/sounds/alsa/Front_Center.wav";
  REQUIRE_FILE(file);
  const Bytes bytes = ReadFile(file);
  const auto info = kr::wave::ReadWave(bytes).info;
  ASSERT_TRUE(info);
  WavePlayerRig rig(bytes, false, 48000.0);
  rig.engine.Render(static_cast<int>(info->frames) + 100);
  ASSERT_GE(rig.left->samples.size(), info->frames);
  for (std::size_t i = 0; i < info->frames; i += 97) {
    const auto s = static_cast<std::int16_t>(bytes[info->dataOffset + 2 * i] | bytes[info->dataOffset + 2 * i + 1] << 8);
    ASSERT_EQ(rig.left->samples[i], static_cast<float>(s) / 65536.0f) << i;
  }
  EXPECT_EQ(rig.left->samples[info->frames], 0.0f);
}

// Other widths made by sox from the Debian file: the ones played play, the
// others are refused with their message.
TEST(WavePlayer, SoxMadeWidths) {
  const std::filesystem::path file = "/usr/share/sounds/alsa/Front_Left.wav";
  REQUIRE_FILE(file);
  if (std::system("sox --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed (./setup.sh deps)";
  krtest::TempDir dir;
  struct Case {
    const char* args;
    const char* message;  // null: plays
  } cases[] = {{"-b 8 -e unsigned-integer", nullptr},
               {"-b 32 -e floating-point", nullptr},
               {"-b 24 -e signed-integer", kr::wave::kWidthMessage},
               {"-b 64 -e floating-point", kr::wave::kWidthMessage},
               {"-b 8 -e u-law", kr::wave::kTagMessage},
               {"-b 16 -c 4", kr::wave::kMultichannelMessage}};
  for (const Case& c : cases) {
    const std::filesystem::path out = dir.path() / "out.wav";
    const std::string command =
        "sox " + file.string() + " " + c.args + " " + out.string() + " trim 0 0.1 >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    WavePlayerRig rig(ReadFile(out), false, 48000.0);
    rig.engine.Render(2000);
    float peak = 0.0f;
    for (float v : rig.left->samples) peak = std::max(peak, std::abs(v));
    if (c.message == nullptr) {
      EXPECT_TRUE(rig.engine.host.boxes.empty()) << c.args;
      EXPECT_GT(peak, 0.001f) << c.args;
    } else {
      ASSERT_EQ(rig.engine.host.boxes.size(), 1u) << c.args;
      EXPECT_NE(rig.engine.host.boxes[0].find(c.message), std::string::npos) << rig.engine.host.boxes[0];
      EXPECT_EQ(peak, 0.0f) << c.args;
    }
  }
}

TEST(WavePlayer, AMissingFileIsReportedOnceAndSilent) {
  FileEngine engine;
  auto* player = engine.root.Add<ug_wave_player>(10);
  auto* tap = engine.root.Add<Tap>(1);
  Connect(player->GetPlug(ug_wave_in::PN_LEFT), tap->GetPlug(0));
  krtest::ApplyInputs(*player, {{ug_wave_in::PN_FILE, "nothing"}});
  std::unique_ptr<ug_base> copy = player->Clone();
  copy->audioMaster = &engine.master;
  engine.Start();
  copy->Open();
  engine.Render(256);
  ASSERT_EQ(engine.host.boxes.size(), 1u) << "once for the module and its copies";
  EXPECT_NE(engine.host.boxes[0].find("Can't open: nothing. Check: filename is correct"), std::string::npos);
  for (float v : tap->samples) EXPECT_EQ(v, 0.0f);
  copy->Close();
}

TEST(AudioIn, PlaysFilesInFileModeOnly) {
  for (const char* mode : {"0", "1"}) {
    FileEngine engine;
    engine.Write("take.wav", RampWave(10));
    auto* in = engine.root.Add<ug_wave_in>(10);
    auto* tap = engine.root.Add<Tap>(1);
    Connect(in->GetPlug(ug_wave_in::PN_LEFT), tap->GetPlug(0));
    krtest::ApplyInputs(*in, {{ug_wave_in::PN_FILE, "take"}, {ug_wave_in::PN_MODE, mode}});
    engine.Start();
    engine.Render(16);
    EXPECT_NEAR(tap->samples[3] * 65536.0f, std::string(mode) == "0" ? 400.0f : 0.0f, 1e-3) << mode;
  }
}
