// Envelope timing in samples: ADSR and 8 Stage Env against the rate curve,
// gate handling, fast release, sleeping.
#include <gtest/gtest.h>

#include <cmath>

#include "modules/env/adsr.h"
#include "modules/env/env_8_stage.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr double kRate = 44100.0;

float Step(double volts) { return ug_envelope_base::RateToStep(static_cast<float>(volts / 10.0), kRate); }

// Samples of a fixed-step ramp from one level to another.
int RampSamples(float from, float to, float stepMagnitude) {
  const float step = to >= from ? stepMagnitude : -stepMagnitude;
  return std::max(1, static_cast<int>((static_cast<double>(to) - from) / step));
}

// gate (stepped) -> envelope -> tap
template <class Env>
struct EnvRig {
  explicit EnvRig(std::map<int, std::string> inputs = {}, std::function<void(EnvRig&)> wire = {})
      : engine(64) {
    gate = engine.root.Add<StepSource>(20);
    env = engine.root.Add<Env>(10);
    tap = engine.root.Add<Tap>(1);
    Connect(gate->GetPlug(0), env->GetPlug(0));
    Connect(env->GetPlug(Env::PN_OUT), tap->GetPlug(0));
    if (wire) wire(*this);
    ApplyInputs(*env, inputs);
  }
  void Gate(int time, bool on) { gate->ScheduleStep(time, on ? 1.0f : 0.0f); }
  void Start() { engine.Start(); }
  const std::vector<float>& Render(int samples) {
    engine.Render(samples, block);
    return tap->samples;
  }
  TestEngine engine;
  int block = 64;
  StepSource* gate;
  Env* env;
  Tap* tap;
};

}  // namespace

TEST(EnvelopeRate, FullScaleTimesFollowTheCurve) {
  EXPECT_NEAR(1.0 / (Step(0) * kRate), 0.00984, 0.0001);
  EXPECT_NEAR(1.0 / (Step(5) * kRate), 0.315, 0.001);
  EXPECT_NEAR(1.0 / (Step(10) * kRate), 10.08, 0.01);
  EXPECT_GT(ug_envelope_base::RateToStep(100.0f, kRate), 0.0f) << "absurdly slow still moves";
}

TEST(Adsr, DefaultsAttackDecaySustainReleaseInSamples) {
  EnvRig<ug_adsr> rig;
  constexpr int kOn = 100;
  const int attack = RampSamples(0.0f, 1.0f, Step(0));
  const int decay = RampSamples(1.0f, 0.7f, Step(5));
  const int off = kOn + attack + decay + 1000;
  const int release = RampSamples(0.7f, 0.0f, Step(4));
  EXPECT_NEAR(attack, 0.00984 * kRate, 2.0);
  EXPECT_NEAR(decay, 0.0945 * kRate, 10.0);
  rig.Gate(kOn, true);
  rig.Gate(off, false);
  rig.Start();
  const auto& out = rig.Render(off + release + 3000);
  EXPECT_EQ(out[kOn - 1], 0.0f);
  EXPECT_EQ(out[kOn], Step(0)) << "the attack starts at the gate's sample";
  EXPECT_LT(out[kOn + attack - 2], 1.0f);
  EXPECT_EQ(out[kOn + attack - 1], 1.0f) << "full scale after the attack's samples";
  EXPECT_LT(out[kOn + attack], 1.0f);
  EXPECT_GT(out[kOn + attack + decay - 2], 0.7f);
  EXPECT_EQ(out[kOn + attack + decay - 1], 0.7f) << "sustain 7 V times overall 10 V";
  for (int i = kOn + attack + decay; i < off; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], 0.7f) << i;
  EXPECT_LT(out[off], 0.7f);
  EXPECT_GT(out[off + release - 2], 0.0f);
  EXPECT_EQ(out[off + release - 1], 0.0f);
  EXPECT_TRUE(rig.env->sleeping) << "idle at 0 after the release: asleep";
  EXPECT_FALSE(rig.engine.IsActive(rig.env));
  for (std::size_t i = static_cast<std::size_t>(off + release); i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f);
}

TEST(Adsr, GateOffDuringAttackReleasesFromTheLevelReached) {
  EnvRig<ug_adsr> rig({{ug_adsr::PN_ATTACK, "5"}});
  rig.Gate(0, true);
  rig.Gate(1000, false);
  rig.Start();
  const auto& out = rig.Render(20000);
  const float reached = out[999];
  EXPECT_NEAR(reached, 1000 * Step(5), 1e-4);
  EXPECT_NEAR(out[1000], reached - Step(4), 1e-6);
  const int release = RampSamples(reached, 0.0f, Step(4));
  EXPECT_NEAR(static_cast<double>(std::find(out.begin() + 1000, out.end(), 0.0f) - out.begin()), 1000 + release - 1, 1.0);
}

TEST(Adsr, RetriggerDuringReleaseRestartsTheAttackFromTheCurrentLevel) {
  EnvRig<ug_adsr> rig({{ug_adsr::PN_RELEASE, "8"}});
  rig.Gate(0, true);
  rig.Gate(10000, false);
  rig.Gate(12000, true);
  rig.Start();
  const auto& out = rig.Render(13000);
  EXPECT_GT(out[11999], 0.1f);
  EXPECT_LT(out[11999], out[11998]) << "falling in the release";
  EXPECT_NEAR(out[12000], out[11999] + Step(0), 1e-6) << "rising again from where it was";
}

TEST(Adsr, RestrikeFallsToZeroIn15Samples) {
  EnvRig<ug_adsr> rig;
  rig.Gate(0, true);
  rig.Start();
  rig.Render(10000);
  ASSERT_EQ(rig.tap->samples.back(), 0.7f);
  rig.env->AddEvent(rig.env->NewEvent(10000, UET_NOTE_RESTRIKE, 0), true);
  const auto& out = rig.Render(100);
  EXPECT_NEAR(out[10000], 0.7f * 14 / 15, 1e-6);
  EXPECT_GT(out[10013], 0.0f);
  EXPECT_EQ(out[10014], 0.0f);
  EXPECT_EQ(out[10099], 0.0f);
}

TEST(Adsr, StreamingGateGivesTheSameSamplesAsSteps) {
  EnvRig<ug_adsr> stepped;
  stepped.Gate(130, true);
  stepped.Gate(3000, false);
  stepped.Gate(3500, true);
  stepped.Gate(9000, false);
  stepped.Start();
  const auto a = stepped.Render(20000);

  TestEngine engine(64);
  auto* gate = engine.root.Add<FunctionSource>(20);
  gate->f = [](int t) { return (t >= 130 && t < 3000) || (t >= 3500 && t < 9000) ? 1.0f : -0.5f; };
  auto* env = engine.root.Add<ug_adsr>(10);
  auto* tap = engine.root.Add<Tap>(1);
  Connect(gate->GetPlug(0), env->GetPlug(ug_adsr::PN_GATE));
  Connect(env->GetPlug(ug_adsr::PN_OUT), tap->GetPlug(0));
  ApplyInputs(*env);
  engine.Start();
  engine.Render(20000, 64);
  ASSERT_EQ(tap->samples.size(), a.size());
  for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(tap->samples[i], a[i]) << i;
  EXPECT_FALSE(env->sleeping) << "a streaming gate is watched all the time";
}

TEST(Adsr, OverallLevelStepDuringSustainReachesTheReader) {
  StepSource* overall = nullptr;
  EnvRig<ug_adsr> rig({}, [&](EnvRig<ug_adsr>& r) {
    overall = r.engine.root.Add<StepSource>(20);
    Connect(overall->GetPlug(0), r.env->GetPlug(ug_adsr::PN_OVERALL));
  });
  overall->ScheduleStep(0, 1.0f);
  overall->ScheduleStep(8000, 0.5f);
  rig.Gate(0, true);
  rig.Start();
  const auto& out = rig.Render(9000);
  EXPECT_EQ(out[7999], 0.7f);
  EXPECT_EQ(out[8000], 0.35f);
  EXPECT_EQ(out[8999], 0.35f);
  EXPECT_EQ(rig.env->GetPlug(ug_adsr::PN_OUT)->staticTime, 8000) << "announced as a step to readers";
}

TEST(EightStage, WithoutSustainRunsToEndSegThenFalls) {
  EnvRig<ug_8_stage> rig({{ug_8_stage::PN_SUS_SEG, "10"}});
  rig.Gate(0, true);
  rig.Start();
  // Segments 0..3 to their levels, then the fall at "Rate 4".
  const float levels[] = {1.0f, 0.6f, 0.8f, 0.2f, 0.0f};
  const double rates[] = {2, 5, 6, 3, 6};
  int at = 0;
  float from = 0.0f;
  std::vector<int> ends;
  for (int k = 0; k < 5; ++k) {
    at += RampSamples(from, levels[k], Step(rates[k]));
    ends.push_back(at - 1);
    from = levels[k];
  }
  const auto& out = rig.Render(at + 2000);
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(out[static_cast<std::size_t>(ends[static_cast<std::size_t>(k)])], levels[k]) << "segment " << k;
    EXPECT_NE(out[static_cast<std::size_t>(ends[static_cast<std::size_t>(k)] - 1)], levels[k]) << "segment " << k;
  }
  EXPECT_TRUE(rig.env->sleeping);
}

TEST(EightStage, GateOffJumpsToTheFinalFall) {
  EnvRig<ug_8_stage> rig({{ug_8_stage::PN_SUS_SEG, "10"}, {ug_8_stage::PN_END_SEG, "6"}});
  rig.Gate(0, true);
  rig.Gate(20000, false);  // during segment 1
  rig.Start();
  const auto& out = rig.Render(30000);
  const float reached = out[19999];
  EXPECT_EQ(rig.env->CurrentSegment(), 6);
  // The fall runs at "Rate 6" (6 V by default).
  const int expected = RampSamples(reached, 0.0f, Step(6));
  EXPECT_NEAR(out[20000], reached - Step(6), 1e-6);
  EXPECT_EQ(out[static_cast<std::size_t>(20000 + expected - 1)], 0.0f);
  EXPECT_GT(out[static_cast<std::size_t>(20000 + expected - 2)], 0.0f);
}

TEST(EightStage, SustainHoldsUntilGateOff) {
  EnvRig<ug_8_stage> rig;  // "Sus Seg" 2: holds at Level 2 (8 V)
  rig.Gate(0, true);
  rig.Start();
  const auto& out = rig.Render(200000);
  EXPECT_EQ(out.back(), 0.8f);
  EXPECT_EQ(rig.env->CurrentSegment(), 2);
}
