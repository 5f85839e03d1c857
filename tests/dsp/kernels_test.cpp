// The engine-free kernels where the modules' tables do not reach: delay
// lengths and read positions out of range, interpolation error, fade laws
// and arithmetic at their edges, meter scales.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "dsp/arithmetic.h"
#include "dsp/delay_line.h"
#include "dsp/fade_laws.h"
#include "dsp/level_meters.h"
#include "dsp/logic_levels.h"
#include "dsp/random15.h"

using namespace kr;

using namespace kr::dsp;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
}  // namespace

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

TEST(FadeLaws, EdgesStayFinite) {
  const FadeTables t = ObtainFadeTables();
  EXPECT_NEAR(PanVolumeFactor(t, 1.2f), 2.448f, 0.001f) << "12 V";
  EXPECT_EQ(PanVolumeFactor(t, kNaN), 0.0f);
  EXPECT_TRUE(std::isfinite(PanVolumeFactor(t, 1e30f))) << "kept finite";
  const StereoGains far = PanGains(t, kFadeSinEqualPower, -3.0f, 1.0f);
  EXPECT_EQ(far.left, 1.0f) << "beyond -5 V: all left";
  EXPECT_EQ(far.right, 0.0f);
  EXPECT_NEAR(PanGains(t, kFadeSqrtEqualPower, 0.25f, 1.0f).right, 0.8660254f, 2e-6f);
  EXPECT_NEAR(PanGains(t, kFadeSinEqualPower, kNaN, 1.0f).left, 0.70710678f, 2e-6f) << "NaN counts as the centre";
  EXPECT_EQ(t.sinPower.get(), ObtainFadeTables().sinPower.get()) << "one table for every fader";
}

TEST(Arithmetic, NoNaNOrInfinity) {
  EXPECT_EQ(VoltQuotient(1e30f, 1e-30f), 0.0f) << "a quotient beyond float";
  EXPECT_EQ(VoltQuotient(kNaN, 1.0f), 0.0f);
  EXPECT_TRUE(std::isfinite(Quantise(0.37f, kNaN)));
  EXPECT_EQ(Compare(0.3f, 0.3f, 0.5f, -0.5f), -0.5f) << "equal is not greater";
  EXPECT_TRUE(GateOutput(GateKind::And, 0, 0)) << "a gate without inputs: no input is false";
  EXPECT_FALSE(GateOutput(GateKind::Or, 0, 0));
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
