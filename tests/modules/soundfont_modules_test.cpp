// "Soundfont Oscillator" and "Soundfont Player": which sample index plays
// (a font whose samples are a ramp of unique values), loops, and the pitch
// of the Debian fonts across the keyboard.
#include <gtest/gtest.h>

#include <cmath>

#include "modules/soundfont/osc_sf.h"
#include "modules/soundfont/sample_player2.h"
#include "support/sample_rig.h"
#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;
using krtest::StepSource;
using krtest::Tap;

namespace {

// A note's pitch as the "Pitch" input gives it (volts / 10).
float PitchOf(double note) { return static_cast<float>((note - 69.0) / 120.0 + 0.5); }

struct FontOscRig {
  FontOscRig(const FontSpec& font, std::map<int, std::string> inputs, bool gateSource = false) : engine(64) {
    engine.Write("font.sf2", MakeFont(font));
    osc = engine.root.Add<ug_osc_sf>(10);
    left = engine.root.Add<Tap>(1);
    right = engine.root.Add<Tap>(2);
    Connect(osc->GetPlug(ug_osc_sf::PN_LEFT), left->GetPlug(0));
    Connect(osc->GetPlug(ug_osc_sf::PN_RIGHT), right->GetPlug(0));
    if (gateSource) {
      gate = engine.root.Add<StepSource>(20);
      Connect(gate->GetPlug(0), osc->GetPlug(ug_osc_sf::PN_GATE));
    }
    inputs.emplace(ug_osc_sf::PN_FILE, "font.sf2");
    krtest::ApplyInputs(*osc, inputs);
  }
  // The sample index each output sample read (value 100 + index).
  std::vector<int> Indexes() const {
    std::vector<int> out;
    for (float v : left->samples) out.push_back(static_cast<int>(std::lround(v * 131072.0)) - 100);
    return out;
  }
  FileEngine engine;
  ug_osc_sf* osc;
  StepSource* gate = nullptr;
  Tap* left;
  Tap* right;
};

std::vector<int> Expected(std::initializer_list<std::pair<int, int>> runs) {
  std::vector<int> out;
  for (auto [from, to] : runs)
    for (int i = from; i < to; ++i) out.push_back(i);
  return out;
}

}  // namespace

TEST(SoundfontOscillator, PlaysEachSampleOnceAtTheRootKeyAndLoopsExactly) {
  FontSpec font = RampFont(100, 20, 50);
  font.instrumentGens = {{54, 1}};
  FontOscRig rig(font, {{ug_osc_sf::PN_GATE, "10"}, {ug_osc_sf::PN_PITCH, "4.25"}});  // key 60, the root
  rig.engine.Start();
  rig.engine.Render(120);
  ASSERT_TRUE(rig.osc->HasFont()) << (rig.engine.host.boxes.empty() ? "" : rig.engine.host.boxes[0]);
  // Indexes 0 ... 49, then the loop 20 ... 49 (the loop end is the first sample after the loop).
  EXPECT_EQ(rig.Indexes(), Expected({{0, 50}, {20, 50}, {20, 50}, {20, 30}}));
  EXPECT_EQ(rig.left->samples, rig.right->samples) << "a mono sample drives both outputs";
}

TEST(SoundfontOscillator, AnOctaveUpWrapsWithTheOvershoot) {
  FontSpec font = RampFont(100, 20, 51);
  font.instrumentGens = {{54, 1}};
  FontOscRig rig(font, {{ug_osc_sf::PN_GATE, "10"}, {ug_osc_sf::PN_PITCH, "5.25"}});
  rig.engine.Start();
  rig.engine.Render(30);
  const std::vector<int> got = rig.Indexes();
  std::vector<int> want;
  for (int i = 0; i <= 50; i += 2) want.push_back(i);
  // 52 is one past the loop end 51: it reads loop start + 1, and steps on by two.
  for (int i = 21; want.size() < 30; i += 2) want.push_back(i);
  EXPECT_EQ(got, want);
}

TEST(SoundfontOscillator, WithoutLoopTheNoteEndsAtTheSampleEnd) {
  FontOscRig rig(RampFont(40, 10, 20), {{ug_osc_sf::PN_GATE, "10"}, {ug_osc_sf::PN_PITCH, "4.25"}});
  rig.engine.Start();
  rig.engine.Render(64);
  const std::vector<int> got = rig.Indexes();
  EXPECT_EQ(std::vector<int>(got.begin(), got.begin() + 40), Expected({{0, 40}}));
  for (std::size_t i = 40; i < 64; ++i) EXPECT_EQ(rig.left->samples[i], 0.0f) << i;
  EXPECT_EQ(rig.osc->GetPlug(ug_osc_sf::PN_LEFT)->state, ST_STOP);
}

TEST(SoundfontOscillator, LoopModeThreeLoopsWhileTheGateIsHighThenPlaysOut) {
  FontSpec font = RampFont(60, 10, 20);
  font.instrumentGens = {{54, 3}};
  FontOscRig rig(font, {{ug_osc_sf::PN_PITCH, "4.25"}}, true);
  rig.engine.Start();
  rig.gate->ScheduleStep(0, 1.0f);
  rig.gate->ScheduleStep(35, 0.0f);
  rig.engine.Render(128);
  const std::vector<int> got = rig.Indexes();
  // 0..19, 10..19 (the gate falls at 35, during the second pass), then on to 59.
  EXPECT_EQ(std::vector<int>(got.begin(), got.begin() + 80), Expected({{0, 20}, {10, 20}, {10, 60}}));
  EXPECT_EQ(got[80], -100) << "silent after the end";
}

TEST(SoundfontOscillator, PitchChoosesTheNoteByRounding) {
  EXPECT_EQ(ug_osc_sf::NoteFor(0.5f), 69);
  EXPECT_EQ(ug_osc_sf::NoteFor(0.505f), 70);
  EXPECT_EQ(ug_osc_sf::NoteFor(-3.0f), 0);
  EXPECT_EQ(ug_osc_sf::NoteFor(4.0f), 127);
  EXPECT_EQ(ug_osc_sf::NoteFor(std::nanf("")), 0);
}

TEST(SoundfontOscillator, AMissingFileIsReportedAndSilent) {
  FontOscRig rig(RampFont(40, 10, 20), {{ug_osc_sf::PN_GATE, "10"}, {ug_osc_sf::PN_FILE, "nowhere.sf2"}});
  rig.engine.Start();
  rig.engine.Render(64);
  ASSERT_EQ(rig.engine.host.boxes.size(), 1u);
  EXPECT_NE(rig.engine.host.boxes[0].find("Can't open: nowhere.sf2"), std::string::npos);
  for (float v : rig.left->samples) EXPECT_EQ(v, 0.0f);
}

// The pitch of the Debian fonts' notes, measured by autocorrelation of a
// steady stretch, against 440 Hz × 2^((key − 69) / 12).
namespace {

// The period near `expected`, from the autocorrelation peak at a lag of
// several periods (so the peak's error is shared among them).
double MeasurePeriod(const std::vector<float>& s, std::size_t from, std::size_t length, double expected) {
  const int cycles = std::max(1, static_cast<int>(400.0 / expected));
  const double target = expected * cycles;
  const auto lagMin = static_cast<std::size_t>(target * 0.97), lagMax = static_cast<std::size_t>(target * 1.03) + 2;
  std::vector<double> r(lagMax + 2, 0.0);
  for (std::size_t lag = lagMin - 1; lag <= lagMax + 1; ++lag) {
    double sum = 0.0, e1 = 0.0, e2 = 0.0;
    for (std::size_t i = from; i < from + length; ++i) {
      sum += static_cast<double>(s[i]) * s[i + lag];
      e1 += static_cast<double>(s[i]) * s[i];
      e2 += static_cast<double>(s[i + lag]) * s[i + lag];
    }
    r[lag] = sum / std::sqrt(e1 * e2 + 1e-30);
  }
  std::size_t bestLag = lagMin;
  for (std::size_t lag = lagMin; lag <= lagMax; ++lag)
    if (r[lag] > r[bestLag]) bestLag = lag;
  const double a = r[bestLag - 1], b = r[bestLag], c = r[bestLag + 1];
  const double shift = (a - c) / (2.0 * (a - 2.0 * b + c));
  return (static_cast<double>(bestLag) + (std::isfinite(shift) ? shift : 0.0)) / cycles;
}

struct PitchReport {
  double worstVsFont = 0.0;   // cents from the pitch the font's data gives
  double worstVsEqual = 0.0;  // cents from equal temperament (the font's own tuning included)
  int measured = 0;
};

// The zones measured here loop one cycle of their wave: the note's pitch as
// the file gives it is that cycle's frequency moved by the zone's offset.
double FontHz(const kr::sf2::Zone& z, int key) {
  const auto& p = z.playback;
  const double cycleHz = static_cast<double>(p.sampleRate) / static_cast<double>(p.loopEnd - p.loopStart);
  return cycleHz * std::exp2(((key - p.rootKey) + p.tuneSemitones) / 12.0);
}

PitchReport MeasureFont(const std::filesystem::path& font, int bank, int program, std::vector<int> keys) {
  PitchReport report;
  const auto parsed = kr::sf2::ReadSoundFont(ReadFile(font));
  const kr::sf2::Preset* preset = parsed.font ? parsed.font->Find(bank, program) : nullptr;
  if (preset == nullptr) return report;
  for (int key : keys) {
    FileEngine engine(64);
    std::filesystem::copy_file(font, engine.dir.path() / "font.sf2");
    auto* osc = engine.root.Add<ug_osc_sf>(10);
    auto* tap = engine.root.Add<Tap>(1);
    Connect(osc->GetPlug(ug_osc_sf::PN_LEFT), tap->GetPlug(0));
    char pitch[32];
    std::snprintf(pitch, sizeof pitch, "%.9f", 10.0 * PitchOf(key));
    krtest::ApplyInputs(*osc, {{ug_osc_sf::PN_FILE, "font.sf2"}, {ug_osc_sf::PN_GATE, "10"},
                                 {ug_osc_sf::PN_PITCH, pitch}, {ug_osc_sf::PN_BANK, std::to_string(bank)},
                                 {ug_osc_sf::PN_PATCH, std::to_string(program)}});
    engine.Start();
    engine.Render(44100 / 2);
    const kr::sf2::Zone* zone = kr::sf2::SoundFont::FindZone(*preset, key, 101);
    if (zone == nullptr) continue;
    const double equalHz = 440.0 * std::exp2((key - 69) / 12.0);
    const double fontHz = FontHz(*zone, key);
    const double period = 44100.0 / fontHz;
    const auto length = static_cast<std::size_t>(std::max(2048.0, period * 8));
    const std::size_t from = 4410;
    if (tap->samples.size() < from + length + static_cast<std::size_t>(std::max(period, 400.0) * 1.1) + 4) continue;
    const double hz = 44100.0 / MeasurePeriod(tap->samples, from, length, period);
    report.worstVsFont = std::max(report.worstVsFont, std::abs(krtest::Cents(hz, fontHz)));
    report.worstVsEqual = std::max(report.worstVsEqual, std::abs(krtest::Cents(hz, equalHz)));
    ++report.measured;
    std::printf("  key %3d: %8.2f Hz, %+6.2f cents from the font's pitch, %+6.2f from equal temperament\n", key, hz,
                krtest::Cents(hz, fontHz), krtest::Cents(hz, equalHz));
  }
  return report;
}

}  // namespace

TEST(SoundfontOscillator, TimGM6mbPlaysTheRightPitchAcrossTheRange) {
  const std::filesystem::path tim = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  REQUIRE_FILE(tim);
  // Programs 80 (Square Lead) and 81 (Saw Lead): single-cycle loops, 44.1
  // and 22.05 kHz samples, across six and seven octaves. (The saw's top
  // zone loops ten samples that hold no whole cycle.)
  for (int program : {80, 81}) {
    std::vector<int> keys{24, 36, 48, 57, 60, 64, 69, 72, 81, 84, 96};
    if (program == 80) keys.push_back(108);
    const PitchReport r = MeasureFont(tim, 0, program, keys);
    EXPECT_EQ(r.measured, static_cast<int>(keys.size())) << program;
    EXPECT_LT(r.worstVsFont, 1.0) << program;
  }
}

TEST(SoundfontOscillator, BasicSf2PlaysTheRightPitchAcrossTheRange) {
  REQUIRE_FILE(BasicSf2());
  const PitchReport r = MeasureFont(BasicSf2(), 0, 0, {36, 45, 48, 57, 60, 69, 72, 81, 84, 96});
  EXPECT_EQ(r.measured, 10);
  EXPECT_LT(r.worstVsFont, 1.0);
  EXPECT_LT(r.worstVsEqual, 1.0) << "the font's samples are a few tenths of a cent flat";
}
