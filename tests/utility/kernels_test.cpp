// The engine-free kernels: delay-line lengths and reads, fade laws, logic
// levels and counters, arithmetic where it would divide by zero, meters.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "dsp/arithmetic.h"
#include "dsp/delay_line.h"
#include "dsp/fade_laws.h"
#include "dsp/level_meters.h"
#include "dsp/list_chooser.h"
#include "dsp/logic_levels.h"
#include "dsp/random15.h"

using namespace kr;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The output index at which an impulse written at index 0 comes out.
int ImpulseDelay(DelayLine& line) {
  for (int t = 0; t < line.length + 2; ++t)
    if (DelayTick<false>(line, t == 0 ? 1.0f : 0.0f, 0.0f) != 0.0f) return t;
  return -1;
}
}  // namespace

TEST(DelayKernel, LengthsAreComparedBeforeConversion) {
  EXPECT_EQ(DelayLength(44100.0, 0.25), 11025);
  EXPECT_EQ(DelayLength(44100.0, 20.0), 441000) << "cut to ten seconds";
  EXPECT_EQ(DelayLength(44100.0, 1e30f), 441000);
  EXPECT_EQ(DelayLength(44100.0, 0.01f), 441) << "in single precision, as the setting is stored";
  EXPECT_EQ(DelayLength(44100.0, kInf), 441000);
  EXPECT_EQ(DelayLength(44100.0, kNaN), 441000);
  EXPECT_EQ(DelayLength(44100.0, -3.0), 1);
  EXPECT_EQ(DelayLength(44100.0, 0.0), 1);
  EXPECT_EQ(MaxDelayLength(48000.7), 480000);
}

TEST(DelayKernel, ReadPositionsFromModulation) {
  DelayLine line;
  ReserveDelay(line, 441000);
  SetDelayLength(line, 11025);
  struct Row {
    float modulation;  // sample units ("Delay": reference 0.5)
    int offset;
    float fraction;
  } rows[] = {
      {0.5f, 1, 0.0f},        // +5 V: the whole line, N - 1 samples
      {-0.5f, 11025, 0.0f},   // -5 V: no delay
      {0.0f, 5512, 0.5f},     // 0 V: 5512.5
      {0.9f, 1, 0.0f},        // beyond +5 V: kept at the whole line, no fraction
      {-7.0f, 11025, 0.0f},   // beyond -5 V: kept at none, no fraction (would blend in the oldest sample)
      {kNaN, 1, 0.0f},
      {kInf, 1, 0.0f},
      {-kInf, 11025, 0.0f},
  };
  for (const Row& r : rows) {
    SetDelayModulation(line, 0.5f, r.modulation);
    EXPECT_EQ(line.offset, r.offset) << r.modulation;
    EXPECT_EQ(line.fraction, r.fraction) << r.modulation;
  }
}

TEST(DelayKernel, AnImpulseComesOutExactlyNMinusOffsetLater) {
  DelayLine line;
  ReserveDelay(line, 1000);
  for (int n : {1, 2, 100, 1000}) {
    for (int offset : {1, n / 2 + 1, n}) {
      SetDelayLength(line, n);
      line.offset = offset;
      line.fraction = 0.0f;
      EXPECT_EQ(ImpulseDelay(line), n - offset) << "N " << n << " offset " << offset;
    }
  }
  SetDelayLength(line, 5000);
  EXPECT_EQ(line.length, 1000) << "a length beyond the reserved ring is cut to it";
}

// Linear interpolation of a sine half-way between samples errs by at most
// A (1 - cos(w/2)), about A w^2 / 8.
TEST(DelayKernel, FractionalDelayOfASineIsWithinTheLinearInterpolationBound) {
  const double w = 2.0 * std::numbers::pi * 1000.0 / 44100.0;
  const float amplitude = 0.5f;
  DelayLine line;
  ReserveDelay(line, 200);
  SetDelayLength(line, 200);
  SetDelayModulation(line, 0.5f, 0.5f - 100.5f / 200.0f);  // x = 100.5: a delay of 99.5 samples
  ASSERT_EQ(line.offset, 100);
  ASSERT_EQ(line.fraction, 0.5f);
  double worst = 0.0;
  for (int t = 0; t < 2000; ++t) {
    const float y = DelayTick<true>(line, amplitude * static_cast<float>(std::sin(w * t)), 0.0f);
    if (t > 300) worst = std::max(worst, std::fabs(y - amplitude * std::sin(w * (t - 99.5))));
  }
  const double bound = amplitude * (1.0 - std::cos(w / 2.0));
  EXPECT_LE(worst, bound * 1.01 + 1e-7);
  EXPECT_GE(worst, bound * 0.95) << "the error is the interpolation's, not something smaller";
  EXPECT_NEAR(worst, 0.00127, 0.00002) << "measured";
}

TEST(DelayKernel, FeedbackCirculatesAndTinyValuesFlush) {
  DelayLine line;
  ReserveDelay(line, 10);
  SetDelayLength(line, 10);
  line.offset = 1;  // 9 samples
  std::vector<float> out;
  for (int t = 0; t < 40; ++t) out.push_back(DelayTick<false>(line, t == 0 ? 0.5f : 0.0f, 1.0f));
  EXPECT_EQ(out[9], 0.5f);
  EXPECT_EQ(out[19], 0.5f) << "full feedback keeps the echo (one more sample per pass: the write comes first)";
  EXPECT_EQ(out[29], 0.5f);
  EXPECT_EQ(FlushTiny(1e-30f), 0.0f);
  EXPECT_EQ(FlushTiny(0.25f), 0.25f);
}

TEST(FadeLaws, PanGainsAtLeftCentreAndRight) {
  const FadeTables t = ObtainFadeTables();
  const float unity = PanVolumeFactor(t, 1.0f);
  EXPECT_NEAR(unity, 1.0f, 1e-6f) << "10 V is the original volume";
  EXPECT_NEAR(PanVolumeFactor(t, 1.2f), 2.448f, 0.001f) << "12 V";
  EXPECT_EQ(PanVolumeFactor(t, 0.0f), 0.0f);
  EXPECT_EQ(PanVolumeFactor(t, kNaN), 0.0f);
  EXPECT_TRUE(std::isfinite(PanVolumeFactor(t, 1e30f))) << "kept finite";
  struct Row {
    int law;
    float pan;
    float left, right;
  } rows[] = {
      {kFadeLinear, -0.5f, 1.0f, 0.0f},          {kFadeLinear, 0.0f, 0.5f, 0.5f},
      {kFadeLinear, 0.5f, 0.0f, 1.0f},           {kFadeSinEqualPower, -0.5f, 1.0f, 0.0f},
      {kFadeSinEqualPower, 0.0f, 0.70710678f, 0.70710678f}, {kFadeSinEqualPower, 0.5f, 0.0f, 1.0f},
      {kFadeSqrtEqualPower, 0.0f, 0.70710678f, 0.70710678f}, {kFadeSqrtEqualPower, 0.25f, 0.5f, 0.8660254f},
      {kFadeSinEqualPower, -3.0f, 1.0f, 0.0f},   {kFadeSinEqualPower, kNaN, 0.70710678f, 0.70710678f},
  };
  for (const Row& r : rows) {
    const StereoGains g = PanGains(t, r.law, r.pan, unity);
    EXPECT_NEAR(g.left, r.left, 2e-6f) << "law " << r.law << " pan " << r.pan;
    EXPECT_NEAR(g.right, r.right, 2e-6f) << "law " << r.law << " pan " << r.pan;
  }
  EXPECT_EQ(t.sinPower.get(), ObtainFadeTables().sinPower.get()) << "one table for every fader";
}

TEST(LogicLevels, HysteresisAndGateTables) {
  bool level = false;
  std::vector<float> ramp = {0.0f, 0.2f, 0.3333f, 0.3334f, 0.2f, 0.1667f, 0.1666f, kNaN};
  std::vector<bool> expected = {false, false, false, true, true, true, false, false};
  for (std::size_t i = 0; i < ramp.size(); ++i) {
    level = LogicLevel(level, ramp[i]);
    EXPECT_EQ(level, expected[i]) << "at " << ramp[i] * 10 << " V";
  }
  // Two inputs: (0,0) (0,1) (1,0) (1,1).
  const std::vector<std::pair<GateKind, std::vector<bool>>> tables = {
      {GateKind::And, {false, false, false, true}},  {GateKind::Or, {false, true, true, true}},
      {GateKind::Xor, {false, true, true, false}},   {GateKind::Nand, {true, true, true, false}},
      {GateKind::Nor, {true, false, false, false}},
  };
  for (const auto& [kind, outputs] : tables)
    for (int row = 0; row < 4; ++row)
      EXPECT_EQ(GateOutput(kind, (row & 1) + (row >> 1), 2), outputs[static_cast<std::size_t>(row)]) << row;
  EXPECT_TRUE(GateOutput(GateKind::And, 0, 0)) << "no input is false";
  EXPECT_TRUE(GateOutput(GateKind::Xor, 3, 3));
}

TEST(LogicLevels, CounterSequencesAndResets) {
  StepCounter step;
  std::vector<int> seen;
  const auto clockPulse = [&](float reset) {
    step.Tick(0.5f, reset, 4);
    step.Tick(0.0f, reset, 4);
    seen.push_back(step.step);
  };
  for (int i = 0; i < 5; ++i) clockPulse(0.0f);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0, 1}));
  step.Tick(0.0f, 0.5f, 4);  // reset rises
  EXPECT_EQ(step.step, 0);
  clockPulse(0.5f);
  EXPECT_EQ(step.step, 0) << "no count while reset is high";
  StepCounter none;
  none.Tick(0.5f, 0.0f, 0);
  EXPECT_EQ(none.step, 0) << "zero outputs: nothing to step through";

  BinaryCounter binary;
  for (int i = 0; i < 257; ++i) {
    binary.Tick(0.5f, 0.0f);
    binary.Tick(0.0f, 0.0f);
  }
  EXPECT_EQ(binary.count, 1) << "eight bits wrap";
  EXPECT_EQ(binary.Tick(0.5f, 0.0f, true), 0) << "an ignored edge changes nothing";

  ShiftRegister shift;
  for (float in : {0.5f, 0.0f, 0.5f, 0.5f}) {
    shift.Tick(0.5f, in, 0.0f);
    shift.Tick(0.0f, in, 0.0f);
  }
  EXPECT_EQ(shift.bits, 0b1011u);
  EXPECT_EQ(shift.Tick(0.0f, 0.0f, 0.5f), 0b1011u) << "reset clears every bit";
  EXPECT_EQ(shift.bits, 0u);
}

TEST(Arithmetic, ValuesAndNoNaNOrInfinity) {
  using namespace kr::arith;
  EXPECT_FLOAT_EQ(RingProduct(0.5f, 0.2f), 0.1f) << "5 V x 2 V = 1 V";
  EXPECT_FLOAT_EQ(VoltProduct(0.5f, 0.2f), 1.0f) << "5 V x 2 V = 10 V";
  EXPECT_FLOAT_EQ(VoltQuotient(0.5f, 0.2f), 0.25f) << "5 V / 2 V = 2.5 V";
  EXPECT_EQ(VoltQuotient(0.5f, 0.0f), 0.0f);
  EXPECT_EQ(VoltQuotient(1e30f, 1e-30f), 0.0f) << "a quotient beyond float";
  EXPECT_EQ(VoltQuotient(kNaN, 1.0f), 0.0f);
  EXPECT_FLOAT_EQ(Quantise(0.25f, 0.1f), 0.3f) << "2.5 V in 1 V steps";
  EXPECT_FLOAT_EQ(Quantise(0.24f, 0.1f), 0.2f) << "2.4 V";
  EXPECT_FLOAT_EQ(Quantise(0.37f, 0.0f), 0.37f) << "a zero step is 1e-9";
  EXPECT_TRUE(std::isfinite(Quantise(0.37f, kNaN)));
  EXPECT_FLOAT_EQ(CeilVolts(0.23f), 0.3f);
  EXPECT_FLOAT_EQ(FloorVolts(0.23f), 0.2f);
  EXPECT_FLOAT_EQ(CeilVolts(0.3f), 0.3f) << "whole volts stay";
  EXPECT_FLOAT_EQ(FloorVolts(0.3f), 0.3f);
  EXPECT_EQ(Clip(0.9f, 0.5f, -0.2f), 0.5f);
  EXPECT_EQ(Clip(-0.9f, 0.5f, -0.2f), -0.2f);
  EXPECT_EQ(Compare(0.3f, 0.3f, 0.5f, -0.5f), -0.5f) << "equal is not greater";
}

TEST(ListChooser, ItemsBandsAndAnEmptyList) {
  ListChooser c;
  c.count = 4;
  EXPECT_EQ(c.Choose(0.0f), 0);
  EXPECT_FALSE(c.Leaves(0.3f)) << "item 0 holds up to 4/3 / 4";
  EXPECT_TRUE(c.Leaves(0.34f));
  EXPECT_EQ(c.Choose(0.34f), 1);
  EXPECT_TRUE(c.Leaves(0.16f)) << "item 1 holds down to 2/3 / 4";
  EXPECT_EQ(c.Choose(1.0f), 3);
  EXPECT_EQ(c.Choose(7.0f), 3);
  EXPECT_EQ(c.Choose(-1.0f), 0);
  EXPECT_EQ(c.Choose(kNaN), 0);
  ListChooser empty;
  EXPECT_FALSE(empty.Leaves(0.5f));
  EXPECT_EQ(empty.Choose(0.5f), -1);
}

TEST(Meters, ScalesIntervalsAndTheRandomRange) {
  EXPECT_FLOAT_EQ(PeakMeterLevel(0.5f, false), 90.0f) << "+-5 V";
  EXPECT_NEAR(PeakMeterLevel(1.0f, false), 96.77f, 0.01f) << "+-10 V";
  EXPECT_EQ(PeakMeterLevel(0.0f, false), -100.0f);
  EXPECT_FLOAT_EQ(PeakMeterLevel(0.25f, true), 25.0f);
  EXPECT_FLOAT_EQ(DetectorReport(kMeterPeak, 1.0f), 10.0f);
  EXPECT_FLOAT_EQ(DetectorReport(kMeterHeadroom, 1.0f), -10.0f);
  EXPECT_FLOAT_EQ(DetectorReport(kMeterVu, 0.0f), -150.0f);
  EXPECT_FLOAT_EQ(DetectorReport(kMeterRms, 0.25f), 2.5f);
  EXPECT_EQ(MeterUpdateInterval(44100.0, 10), 4396);
  EXPECT_EQ(MeterUpdateInterval(44100.0, 40), 1101);
  EXPECT_EQ(MeterUpdateInterval(44100.0, -5), 44100) << "a nonsense rate: once a second";
  EXPECT_EQ(MeterUpdateInterval(44100.0, -0.03), 441000);
  EXPECT_FLOAT_EQ(FollowerCoefficient(44100.0, 0.1f), static_cast<float>(std::exp(-100.0 / 4410.0))) << "1 V: 1 ms";
  EXPECT_EQ(FollowerCoefficient(44100.0, kNaN), FollowerCoefficient(44100.0, 0.0f));

  Random15 r;
  r.Seed(1);
  int highest = 0;
  for (int i = 0; i < 100000; ++i) highest = std::max(highest, r.Next());
  EXPECT_EQ(highest, 32767) << "15 bits, on every system";
  r.Seed(7);
  const float first = r.NextUnit();
  r.Seed(7);
  EXPECT_EQ(r.NextUnit(), first);
}
