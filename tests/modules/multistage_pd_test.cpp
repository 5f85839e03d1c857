// Multistage Env from a point list; the phase-distortion oscillator.
#include <gtest/gtest.h>

#include <numeric>

#include "modules/env/envelope_ms.h"
#include "modules/osc/oscillator_pd.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr double kPdRate = 44100.0;

template <class Module>
struct Rig {
  explicit Rig(std::map<int, std::string> inputs = {}, std::function<void(Module&)> before = {}) : engine(64) {
    gate = engine.root.Add<StepSource>(20);
    module = engine.root.Add<Module>(10);
    tap = engine.root.Add<Tap>(1);
    Connect(gate->GetPlug(0), module->GetPlug(0));
    Connect(module->GetPlug(2), tap->GetPlug(0));
    ApplyInputs(*module, inputs);
    if (before) before(*module);
  }
  TestEngine engine;
  StepSource* gate;
  Module* module;
  Tap* tap;
};

}  // namespace

TEST(Multistage, PointsGiveSegmentsWithSustainAndEnd) {
  // 0 -> 1.0 at 441/s (100 samples), -> 0.5 at 44.1/s (500), sustain,
  // end marker falls at 4410/s (5 samples).
  const EnvelopePoint shape[] = {{1.0f, 441.0f, EnvelopePoint::kPoint},
                                 {0.5f, 44.1f, EnvelopePoint::kSustain},
                                 {0.25f, 441.0f, EnvelopePoint::kPoint},
                                 {0.0f, 4410.0f, EnvelopePoint::kEnd}};
  Rig<ug_envelope_ms> rig({}, [&](ug_envelope_ms& env) { env.Shape().Set(shape); });
  rig.gate->ScheduleStep(0, 1.0f);
  rig.gate->ScheduleStep(2000, 0.0f);
  rig.engine.Start();
  rig.engine.Render(3000, 64);
  const auto& out = rig.tap->samples;
  EXPECT_NEAR(out[49], 0.5f, 0.01f);
  EXPECT_LT(out[98], 1.0f);
  EXPECT_EQ(out[99], 1.0f) << "100 samples to full scale";
  EXPECT_NEAR(out[300], 0.8f, 0.01f);
  EXPECT_EQ(out[1999], 0.5f) << "holds at the sustain point";
  // Released from the sustain point, the points after it still play; the
  // end marker's rate makes the last fall.
  EXPECT_FLOAT_EQ(out[2001], 0.48f);
  EXPECT_EQ(out[2024], 0.25f);
  EXPECT_NEAR(out[2025], 0.15f, 1e-6f);
  EXPECT_EQ(out[2026], 0.0f);
  EXPECT_TRUE(rig.module->sleeping);
}

TEST(Multistage, ShapeHandOverIsAdoptedOnNotifyByEveryVoice) {
  MultistageShape shape;
  const EnvelopePoint first[] = {{0.3f, 1000.0f, EnvelopePoint::kEnd}};
  const EnvelopePoint second[] = {{0.9f, 1000.0f, EnvelopePoint::kSustain}, {0.0f, 1.0f, EnvelopePoint::kEnd}};
  EXPECT_TRUE(shape.Publish(first));
  EXPECT_FALSE(shape.Publish(second)) << "the first hand-over still waits";
  EXPECT_TRUE(shape.Adopt());
  EXPECT_FALSE(shape.Adopt());
  EXPECT_EQ(shape.Current().count, 1);
  EXPECT_TRUE(shape.Publish(second));
  EXPECT_TRUE(shape.Adopt());
  EXPECT_EQ(shape.Current().points[0].level, 0.9f);
  // Longer lists than the capacity are cut, not overrun.
  std::vector<EnvelopePoint> huge(1000);
  shape.Set(huge);
  EXPECT_EQ(shape.Current().count, MultistageShape::kCapacity);

  Rig<ug_envelope_ms> rig;
  auto clone = rig.module->Clone();
  EXPECT_EQ(&static_cast<ug_envelope_ms&>(*clone).Shape(), &rig.module->Shape()) << "voices share the shape";
  rig.gate->ScheduleStep(0, 1.0f);
  rig.engine.Start();
  rig.engine.Render(20000, 64);
  EXPECT_EQ(rig.tap->samples.back(), 0.8f) << "the default shape \"(0.1,1.0)S(0.4,0.8)(1.0,0.0)\" sustains at 8 V";
  ASSERT_TRUE(rig.module->Shape().Publish(second));
  rig.module->OnUiNotify(ug_envelope_ms::kShapeChanged, 0);
  rig.gate->ScheduleStep(20000, 0.0f);
  rig.gate->ScheduleStep(20100, 1.0f);
  rig.engine.Render(2000, 64);
  EXPECT_EQ(rig.tap->samples.back(), 0.9f) << "the next note plays the new shape";
}

TEST(PhaseDist, BreakpointsBendThePhase) {
  int segment = 0;
  const auto& saw = ug_oscillator_pd::ShapeOf(ug_oscillator_pd::PD_SAW);
  EXPECT_FLOAT_EQ(ug_oscillator_pd::DistortedPhase(saw, 0.25f, 0.0f, segment), 0.25f) << "no depth: no bend";
  // At depth 0.8 the middle point sits at 0.1: the first tenth covers half a cycle.
  EXPECT_FLOAT_EQ(ug_oscillator_pd::DistortedPhase(saw, 0.05f, 0.8f, segment), 0.25f);
  EXPECT_FLOAT_EQ(ug_oscillator_pd::DistortedPhase(saw, 0.55f, 0.8f, segment), 0.75f);
  const auto& dbl = ug_oscillator_pd::ShapeOf(ug_oscillator_pd::PD_DBL_SINE);
  EXPECT_FLOAT_EQ(ug_oscillator_pd::DistortedPhase(dbl, 0.75f, 0.0f, segment), 1.5f);
  const auto& square = ug_oscillator_pd::ShapeOf(ug_oscillator_pd::PD_SQUARE);
  EXPECT_FLOAT_EQ(ug_oscillator_pd::DistortedPhase(square, 0.3f, 0.97f, segment), 0.5f) << "flat between bends";
  EXPECT_FLOAT_EQ(ug_oscillator_pd::Window(ug_oscillator_pd::ShapeOf(ug_oscillator_pd::PD_RESO2), 0.25f), 0.5f);
  EXPECT_FLOAT_EQ(ug_oscillator_pd::Window(ug_oscillator_pd::ShapeOf(ug_oscillator_pd::PD_RESO3), 0.25f), 1.0f);
  EXPECT_EQ(&ug_oscillator_pd::ShapeOf(99), &saw) << "a wave number from nowhere plays the saw";
}

TEST(PhaseDist, PlaysInTuneWithoutDcAndFallsSilentAboveTheTable) {
  for (const char* wave : {"0", "1", "3", "5"}) {
    TestEngine engine(64);
    auto* osc = engine.root.Add<ug_oscillator_pd>(10);
    auto* tap = engine.root.Add<Tap>(1);
    Connect(osc->GetPlug(ug_oscillator_pd::PN_OUT), tap->GetPlug(0));
    ApplyInputs(*osc, {{ug_oscillator_pd::PN_WAVE1, wave}, {ug_oscillator_pd::PN_DEPTH, "3"},
                       {ug_oscillator_pd::PN_WAVE2, "-1"}});
    engine.Start();
    engine.Render(88200, 64);
    const std::vector<float> tail(tap->samples.begin() + 44100, tap->samples.end());
    const double mean = std::accumulate(tail.begin(), tail.end(), 0.0) / tail.size();
    EXPECT_NEAR(mean, 0.0, 0.01) << "wave " << wave << ": the DC tracker removes the offset";
    // Dbl Sine runs its cosine twice a cycle: an octave up.
    const double expected = std::string(wave) == "3" ? 880.0 : 440.0;
    if (std::string(wave) != "5") {
      EXPECT_NEAR(Cents(MeasureHz(tail, kPdRate, 0), expected), 0.0, 2.0) << "wave " << wave;
    }
  }
  TestEngine engine(64);
  auto* osc = engine.root.Add<ug_oscillator_pd>(10);
  auto* tap = engine.root.Add<Tap>(1);
  Connect(osc->GetPlug(ug_oscillator_pd::PN_OUT), tap->GetPlug(0));
  ApplyInputs(*osc, {{ug_oscillator_pd::PN_PITCH, "10.6"}});
  engine.Start();
  engine.Render(1024, 64);
  EXPECT_TRUE(std::all_of(tap->samples.begin(), tap->samples.end(), [](float v) { return v == 0.0f; }));
}

TEST(PhaseDist, Wave2AlternatesEveryCycle) {
  // Saw (at no depth a pure cosine) alternating with Dbl Sine (twice as fast
  // within its cycle): zero crossings per two cycles rise from 2 to 6.
  auto crossings = [](const char* wave2) {
    TestEngine engine(64);
    auto* osc = engine.root.Add<ug_oscillator_pd>(10);
    auto* tap = engine.root.Add<Tap>(1);
    Connect(osc->GetPlug(ug_oscillator_pd::PN_OUT), tap->GetPlug(0));
    ApplyInputs(*osc, {{ug_oscillator_pd::PN_DEPTH, "0"}, {ug_oscillator_pd::PN_WAVE2, wave2}});
    engine.Start();
    engine.Render(44100, 64);
    int n = 0;
    for (std::size_t i = 22050; i < tap->samples.size(); ++i)
      n += (tap->samples[i - 1] < 0.0f) != (tap->samples[i] < 0.0f);
    return n;
  };
  const int single = crossings("-1");
  const int alternating = crossings("3");
  EXPECT_NEAR(alternating, single * 3 / 2, single / 10);
}
