// Pitch of the oscillators: volts per octave, volts per kHz, the pitch table.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dsp/osc_pitch.h"
#include "modules/osc/oscillator.h"
#include "modules/osc/test_tone.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct OscRig {
  explicit OscRig(std::map<int, std::string> inputs, double rate = 44100.0) : engine(64) {
    engine.host.rate = rate;
    osc = engine.root.Add<ug_oscillator2>(10);
    tap = engine.root.Add<Tap>(1);
    Connect(osc->GetPlug(ug_oscillator2::PN_OUT), tap->GetPlug(0));
    ApplyInputs(*osc, inputs);
    engine.Start();
  }
  std::vector<float>& Render(int samples) {
    engine.Render(samples, 64);
    return tap->samples;
  }
  TestEngine engine;
  ug_oscillator2* osc;
  Tap* tap;
};

double IncrementHz(std::uint32_t increment, double rate) { return increment * rate / 4294967296.0; }

}  // namespace

TEST(OscPitch, VoltsPerOctaveFollowsTheTableAndShifts) {
  const kr::dsp::OscPitch pitch(44100.0);
  const kr::dsp::ULookup_Integer& table = pitch.Table();
  ASSERT_EQ(table.Size(), 514);
  // Entry 0 is 8 V (3520 Hz); 5 V shifts it right by 3.
  EXPECT_EQ(table[0], static_cast<std::uint32_t>(3520.0 * 4294967296.0 / 44100.0 + 0.5));
  EXPECT_EQ(pitch.VoltsPerOctave(0.5f), table[0] >> 3);
  EXPECT_NEAR(pitch.VoltsPerOctave(0.6f), table[0] >> 2, 20.0) << "0.6f is a hair above 6 V";
  EXPECT_EQ(pitch.VoltsPerOctave(0.75f), (table[256] >> 1) + 0) << "7.5 V is entry 256 shifted once";
  EXPECT_EQ(pitch.VoltsPerOctave(0.0f), table[0] >> 8);
  EXPECT_NEAR(IncrementHz(pitch.VoltsPerOctave(0.0f), 44100.0), 13.75, 0.01);
  // Between entries: half way interpolates (64-bit product, no wrap).
  const std::uint32_t mid = pitch.VoltsPerOctave(0.5f + 0.5f / 5120.0f);
  EXPECT_GT(mid, table[0] >> 3);
  EXPECT_LT(mid, table[1] >> 3);
  // Far above: saturates; far below and NaN: 0.
  EXPECT_EQ(pitch.VoltsPerOctave(2.0f), 0xFFFFFFFFu);
  EXPECT_EQ(pitch.VoltsPerOctave(-4.0f), 0u);
  EXPECT_EQ(pitch.VoltsPerOctave(std::nanf("")), 0u);
  // Every semitone is within a cent of equal temperament.
  for (int semitone = -60; semitone <= 60; ++semitone) {
    const double volts = 5.0 + semitone / 12.0;
    const double hz = IncrementHz(pitch.VoltsPerOctave(static_cast<float>(volts / 10.0)), 44100.0);
    EXPECT_NEAR(Cents(hz, 440.0 * std::exp2(semitone / 12.0)), 0.0, 1.0) << semitone;
  }
}

TEST(OscPitch, VoltsPerKHzIsLimitedToNyquist) {
  const kr::dsp::OscPitch pitch(48000.0);
  EXPECT_NEAR(pitch.VoltsPerKHz(0.1f), 1000.0 * 4294967296.0 / 48000.0, 4.0);
  EXPECT_EQ(pitch.VoltsPerKHz(0.25f), static_cast<std::uint32_t>(2500.0 * 4294967296.0 / 48000.0 + 0.5));
  EXPECT_EQ(pitch.VoltsPerKHz(3.0f), 0x80000000u);
  EXPECT_EQ(pitch.VoltsPerKHz(-0.1f), 0u);
}

TEST(OscPitch, TablesAreSharedPerRate) {
  const kr::dsp::OscPitch a(44100.0), b(44100.0), c(48000.0);
  EXPECT_EQ(&a.Table(), &b.Table());
  EXPECT_NE(&a.Table(), &c.Table()) << "another rate has its own table; nobody refills a table in use";
  EXPECT_NE(a.Table()[0], c.Table()[0]);
}

TEST(Oscillator, FiveVoltsIs440HzAndSixVolts880) {
  for (auto [volts, hz] : {std::pair{"5", 440.0}, std::pair{"6", 880.0}, std::pair{"0", 13.75}}) {
    for (const char* wave : {"0", "1", "3"}) {
      OscRig rig({{ug_oscillator2::PN_PITCH, volts}, {ug_oscillator2::PN_WAVEFORM, wave}});
      const double measured = MeasureHz(rig.Render(hz < 20 ? 44100 * 3 : 44100), 44100.0);
      EXPECT_NEAR(Cents(measured, hz), 0.0, 1.0) << volts << " V, wave " << wave << ": " << measured << " Hz";
    }
  }
}

TEST(Oscillator, InTuneAtOtherRates) {
  for (double rate : {22050.0, 48000.0, 96000.0}) {
    OscRig rig({{ug_oscillator2::PN_PITCH, "5"}, {ug_oscillator2::PN_WAVEFORM, "0"}}, rate);
    EXPECT_NEAR(Cents(MeasureHz(rig.Render(static_cast<int>(rate)), rate), 440.0), 0.0, 1.0) << rate;
  }
}

TEST(Oscillator, OneVoltPerKHzMode) {
  OscRig rig({{ug_oscillator2::PN_PITCH, "1"}, {ug_oscillator2::PN_WAVEFORM, "0"}, {ug_oscillator2::PN_FREQ_SCALE, "1"}});
  EXPECT_NEAR(Cents(MeasureHz(rig.Render(44100), 44100.0), 1000.0), 0.0, 1.0);
  OscRig fast({{ug_oscillator2::PN_PITCH, "30"}, {ug_oscillator2::PN_WAVEFORM, "0"}, {ug_oscillator2::PN_FREQ_SCALE, "1"}});
  fast.Render(64);
  EXPECT_EQ(fast.osc->Increment(), 0x80000000u) << "limited to half the sample rate";
}

TEST(Oscillator, StreamingPitchFollowsEverySample) {
  // A pitch that jumps from 5 V to 6 V half way: both halves are in tune.
  TestEngine engine(64);
  auto* pitch = engine.root.Add<FunctionSource>(20);
  pitch->f = [](int t) { return t < 44100 ? 0.5f : 0.6f; };
  auto* osc = engine.root.Add<ug_oscillator2>(10);
  auto* tap = engine.root.Add<Tap>(1);
  Connect(pitch->GetPlug(0), osc->GetPlug(ug_oscillator2::PN_PITCH));
  Connect(osc->GetPlug(ug_oscillator2::PN_OUT), tap->GetPlug(0));
  ApplyInputs(*osc, {{ug_oscillator2::PN_WAVEFORM, "0"}});
  engine.Start();
  engine.Render(88200, 64);
  const std::vector<float> first(tap->samples.begin(), tap->samples.begin() + 44100);
  const std::vector<float> second(tap->samples.begin() + 44100, tap->samples.end());
  EXPECT_NEAR(Cents(MeasureHz(first, 44100.0), 440.0), 0.0, 1.0);
  EXPECT_NEAR(Cents(MeasureHz(second, 44100.0), 880.0), 0.0, 1.0);
}

TEST(TestTone, OneKilohertzAtFiveVolts) {
  for (double rate : {44100.0, 48000.0}) {
    TestEngine engine(64);
    engine.host.rate = rate;
    auto* tone = engine.root.Add<ug_test_tone>(10);
    auto* tap = engine.root.Add<Tap>(1);
    Connect(tone->GetPlug(0), tap->GetPlug(0));
    engine.Start();
    engine.Render(static_cast<int>(rate), 64);
    const auto& out = tap->samples;
    EXPECT_FLOAT_EQ(out[0], static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 / rate)));
    EXPECT_NEAR(Cents(MeasureHz(out, rate), 1000.0), 0.0, 0.1);
    EXPECT_NEAR(*std::max_element(out.begin(), out.end()), 0.5f, 1e-3f);
    EXPECT_TRUE(engine.IsActive(tone)) << "never sleeps";
  }
}
