// Oscillator wave shapes, band-limited table choice, phase modulation, sync, noise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "dsp/wavetable_sets.h"
#include "modules/osc/oscillator.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;
using Osc = ug_oscillator2;

namespace {

std::string VoltsFor(double hz) { return std::to_string(5.0 + std::log2(hz / 440.0)); }

// An oscillator whose inputs are defaults or overrides; optionally a
// function source on one input.
struct WaveOscRig {
  WaveOscRig(std::map<int, std::string> inputs, int streamedPlug = -1, std::function<float(int)> f = {})
      : engine(64) {
    osc = engine.root.Add<Osc>(10);
    tap = engine.root.Add<Tap>(1);
    if (streamedPlug >= 0) {
      auto* source = engine.root.Add<FunctionSource>(20);
      source->f = std::move(f);
      Connect(source->GetPlug(0), osc->GetPlug(streamedPlug));
    }
    Connect(osc->GetPlug(Osc::PN_OUT), tap->GetPlug(0));
    ApplyInputs(*osc, inputs);
    engine.Start();
  }
  std::vector<float>& Render(int samples) {
    engine.Render(samples, 64);
    return tap->samples;
  }
  TestEngine engine;
  Osc* osc;
  Tap* tap;
};

std::vector<int> HighestHarmonics(const kr::dsp::WaveTableSet& set) {
  std::vector<int> out;
  for (auto it = set.rbegin(); it != set.rend(); ++it) out.push_back(it->highestHarmonic);
  return out;
}

}  // namespace

TEST(WaveTables, SetsGroupHarmonicsInHalfOctaves) {
  EXPECT_EQ(HighestHarmonics(kr::dsp::SawTableSet(true)),
            (std::vector<int>{1, 2, 3, 5, 8, 12, 17, 25, 36, 51, 73, 104, 148, 210, 256}));
  EXPECT_EQ(HighestHarmonics(kr::dsp::TriangleTableSet()),
            (std::vector<int>{1, 3, 5, 9, 13, 19, 27, 39, 57, 81, 115, 163, 231, 255}));
  ASSERT_EQ(kr::dsp::SineTableSet().size(), 1u);
  for (const kr::dsp::WaveTableSet* set : {&kr::dsp::SawTableSet(true), &kr::dsp::SawTableSet(false), &kr::dsp::TriangleTableSet()}) {
    EXPECT_EQ(set->front().lowerBound, 0u);
    EXPECT_EQ(set->front().nextRicherBound, 0u);
    for (std::size_t i = 1; i < set->size(); ++i) {
      const kr::dsp::Uwavetable& poorer = (*set)[i];
      EXPECT_EQ(poorer.nextRicherBound, (*set)[i - 1].upperBound);
      EXPECT_EQ(poorer.lowerBound, static_cast<std::uint32_t>(poorer.nextRicherBound * std::exp2(-1.0 / 12.0)));
      EXPECT_EQ(poorer.upperBound,
                static_cast<std::uint32_t>(2147483648.0 / poorer.highestHarmonic * std::exp2(-1.0 / 6.0)));
    }
  }
  // Peaks near 5 V; tiny values are stored as 0.
  const kr::dsp::Uwavetable& sine = kr::dsp::SineTableSet().front();
  EXPECT_NEAR(sine.At(128), 0.5f, 1e-6f);
  EXPECT_EQ(sine.At(0), 0.0f);
  kr::dsp::Uwavetable table;
  table.Set(0, 1e-21f);
  table.Set(1, -5e-21f);
  table.Set(2, 2e-20f);
  table.Set(9999, 1.0f);  // outside: ignored
  EXPECT_EQ(table.At(0), 0.0f);
  EXPECT_EQ(table.At(1), 0.0f);
  EXPECT_EQ(table.At(2), 2e-20f);
}

TEST(WaveTables, SawAt440UsesThe36HarmonicTableWithASemitoneOfHysteresis) {
  const double rate = 44100.0;
  auto inc = [&](double hz) { return static_cast<std::uint32_t>(hz * 4294967296.0 / rate); };
  const kr::dsp::WaveTableSet& saw = kr::dsp::SawTableSet(true);
  EXPECT_EQ(kr::dsp::ChooseTable(saw, inc(440.0)).table->highestHarmonic, 36);
  const double limit36 = rate / 2.0 / 36.0 * std::exp2(-1.0 / 6.0);
  EXPECT_EQ(kr::dsp::ChooseTable(saw, inc(limit36 * 1.01)).table->highestHarmonic, 25);
  // Above the poorest table's limit (about 0.445 x rate): silence.
  EXPECT_EQ(kr::dsp::ChooseTable(saw, inc(0.45 * rate)).table, &kr::dsp::SilenceTable());

  // In the module: up past the limit switches with a 20-sample cross-fade;
  // coming back down switches only a semitone lower.
  TestEngine engine(64);
  auto* steps = engine.root.Add<StepSource>(20);
  auto* osc = engine.root.Add<Osc>(10);
  Connect(steps->GetPlug(0), osc->GetPlug(Osc::PN_PITCH));
  ApplyInputs(*osc);
  const float above = static_cast<float>(std::stod(VoltsFor(limit36 * 1.01)) / 10.0);
  const float halfSemitoneDown = static_cast<float>(std::stod(VoltsFor(limit36 * std::exp2(-0.5 / 12.0))) / 10.0);
  const float semitoneDown = static_cast<float>(std::stod(VoltsFor(limit36 * std::exp2(-1.1 / 12.0))) / 10.0);
  steps->ScheduleStep(0, 0.5f);
  steps->ScheduleStep(1000, above);
  steps->ScheduleStep(2000, halfSemitoneDown);
  steps->ScheduleStep(3000, semitoneDown);
  engine.Start();
  engine.Render(999, 64);
  EXPECT_EQ(osc->CurrentTable()->highestHarmonic, 36);
  engine.Render(6, 64);
  EXPECT_EQ(osc->CurrentTable()->highestHarmonic, 25);
  EXPECT_EQ(osc->TableFadeLeft(), 15);
  engine.Render(1100, 64);
  EXPECT_EQ(osc->TableFadeLeft(), 0);
  EXPECT_EQ(osc->CurrentTable()->highestHarmonic, 25) << "half a semitone below the limit keeps the table";
  engine.Render(1000, 64);
  EXPECT_EQ(osc->CurrentTable()->highestHarmonic, 36);
}

TEST(Oscillator, PitchAboveThePoorestTableIsSilent) {
  WaveOscRig rig({{Osc::PN_PITCH, VoltsFor(20000.0)}});
  const auto& out = rig.Render(4096);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float s) { return s == 0.0f; }));
}

TEST(Oscillator, ShapesSineRampPulse) {
  WaveOscRig sine({{Osc::PN_WAVEFORM, "0"}});
  const auto& s = sine.Render(4410);
  EXPECT_NEAR(*std::max_element(s.begin(), s.end()), 0.5f, 0.001f);
  EXPECT_NEAR(*std::min_element(s.begin(), s.end()), -0.5f, 0.001f);

  WaveOscRig saw({{Osc::PN_WAVEFORM, "1"}});
  WaveOscRig ramp({{Osc::PN_WAVEFORM, "2"}});
  const auto& a = saw.Render(4410);
  const auto& b = ramp.Render(4410);
  for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i], -b[i]) << i;

  WaveOscRig square({{Osc::PN_WAVEFORM, "4"}, {Osc::PN_PULSE_WIDTH, "0"}});
  const auto& q = square.Render(44100);
  const double mean = std::accumulate(q.begin(), q.end(), 0.0) / q.size();
  EXPECT_NEAR(mean, 0.0, 0.01);
  const auto high = std::count_if(q.begin(), q.end(), [](float v) { return v > 0.0f; });
  EXPECT_NEAR(static_cast<double>(high) / q.size(), 0.5, 0.02);

  WaveOscRig narrow({{Osc::PN_WAVEFORM, "4"}, {Osc::PN_PULSE_WIDTH, "10"}});
  const auto& n = narrow.Render(44100);
  const float peak = *std::max_element(n.begin(), n.end(), [](float x, float y) { return std::fabs(x) < std::fabs(y); });
  const auto spikes = std::count_if(n.begin(), n.end(), [&](float v) { return std::fabs(v) > std::fabs(peak) * 0.5f; });
  EXPECT_LT(static_cast<double>(spikes) / n.size(), 0.05) << "+10 V is clamped to 0.99: a very narrow pulse";
}

TEST(Oscillator, PhaseModFiveVoltsAtFullDepthShiftsHalfACycle) {
  WaveOscRig plain({{Osc::PN_WAVEFORM, "0"}});
  WaveOscRig shifted({{Osc::PN_WAVEFORM, "0"}, {Osc::PN_PHASE_MOD, "5"}, {Osc::PN_PM_DEPTH, "10"}});
  const auto& a = plain.Render(2048);
  const auto& b = shifted.Render(2048);
  for (std::size_t i = 0; i < a.size(); ++i) ASSERT_NEAR(a[i], -b[i], 1e-6f) << i;

  // Streaming: the same modulation as a signal gives the same samples.
  WaveOscRig streamed({{Osc::PN_WAVEFORM, "0"}, {Osc::PN_PM_DEPTH, "10"}}, Osc::PN_PHASE_MOD, [](int) { return 0.5f; });
  const auto& c = streamed.Render(2048);
  for (std::size_t i = 0; i < a.size(); ++i) ASSERT_NEAR(b[i], c[i], 1e-6f) << i;
}

TEST(Oscillator, SyncAtAHalfSampleCrossingResetsToHalfAnIncrement) {
  constexpr int kEdge = 1000;
  auto syncSignal = [](int t) { return t < kEdge ? -0.1f : 0.1f; };
  WaveOscRig hard({{Osc::PN_WAVEFORM, "0"}, {Osc::PN_SYNC_XFADE, "0"}}, Osc::PN_SYNC, syncSignal);
  const auto& out = hard.Render(2048);
  const double increment = hard.osc->Increment();
  const double cycle = 4294967296.0;
  for (int k = 0; k < 4; ++k) {
    const double phase = (0.5 + k) * increment / cycle;
    EXPECT_NEAR(out[kEdge + k], 0.5 * std::sin(2.0 * std::numbers::pi * phase), 2e-4) << k;
  }
  // With the cross-fade the first 4 samples blend, then both runs agree.
  WaveOscRig soft({{Osc::PN_WAVEFORM, "0"}}, Osc::PN_SYNC, syncSignal);
  const auto& faded = soft.Render(2048);
  EXPECT_NE(faded[kEdge], out[kEdge]);
  for (int i = kEdge + 4; i < 2048; ++i) ASSERT_EQ(faded[static_cast<std::size_t>(i)], out[static_cast<std::size_t>(i)]) << i;
  for (int i = 0; i < kEdge; ++i) ASSERT_EQ(faded[static_cast<std::size_t>(i)], out[static_cast<std::size_t>(i)]) << i;
}

TEST(Oscillator, WhiteNoiseIsUniformAndSharesOneGenerator) {
  TestEngine engine(64);
  auto* a = engine.root.Add<Osc>(11);
  auto* b = engine.root.Add<Osc>(10);
  auto* tapA = engine.root.Add<Tap>(2);
  auto* tapB = engine.root.Add<Tap>(1);
  Connect(a->GetPlug(Osc::PN_OUT), tapA->GetPlug(0));
  Connect(b->GetPlug(Osc::PN_OUT), tapB->GetPlug(0));
  ApplyInputs(*a, {{Osc::PN_WAVEFORM, "5"}});
  ApplyInputs(*b, {{Osc::PN_WAVEFORM, "5"}});
  engine.Start();
  std::uint32_t s = kr::dsp::noise::SharedState().load();
  engine.Render(64 * 200, 64);
  // Per sub-block the first oscillator draws 64 values, then the second.
  for (std::size_t block = 0; block < 200; ++block) {
    for (std::size_t i = 0; i < 64; ++i) ASSERT_EQ(tapA->samples[block * 64 + i], kr::dsp::noise::White(s = kr::dsp::noise::Next(s)));
    for (std::size_t i = 0; i < 64; ++i) ASSERT_EQ(tapB->samples[block * 64 + i], kr::dsp::noise::White(s = kr::dsp::noise::Next(s)));
  }
  const auto& w = tapA->samples;
  EXPECT_TRUE(std::all_of(w.begin(), w.end(), [](float v) { return v >= -0.5f && v < 0.5f; }));
  const double mean = std::accumulate(w.begin(), w.end(), 0.0) / w.size();
  double variance = 0.0;
  for (float v : w) variance += (v - mean) * (v - mean);
  variance /= w.size();
  EXPECT_NEAR(mean, 0.0, 0.01);
  EXPECT_NEAR(variance, 1.0 / 12.0, 0.003);
}

TEST(Oscillator, PinkNoiseIsTheSumOfSixSections) {
  WaveOscRig pink({{Osc::PN_WAVEFORM, "6"}});
  std::uint32_t s = kr::dsp::noise::SharedState().load();
  const auto& out = pink.Render(4096);
  kr::dsp::noise::PinkFilter filter;
  for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], filter(kr::dsp::noise::White(s = kr::dsp::noise::Next(s)))) << i;
}
