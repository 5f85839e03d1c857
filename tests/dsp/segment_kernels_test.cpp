// The kernels the modules hand their segments to: the output smoother's
// ramps and settle period, the envelopes' ramps, and the render table's
// bit order.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <limits>
#include <vector>

#include "dsp/envelope_segment.h"
#include "dsp/value_smoother.h"
#include "modules/render_table.h"

using namespace kr;

using namespace kr::dsp;

TEST(ValueSmoother, LinearRampArrivesOnItsLastSampleThenRestsForTheSettlePeriod) {
  SmootherState s;
  EXPECT_EQ(StartSmoothing(s, 1.0f, 4, SmoothMode::kLinear, 8), SmoothStart::kMoving);
  EXPECT_EQ(StartSmoothing(s, 1.0f, 4, SmoothMode::kLinear, 8), SmoothStart::kMoving) << "still moving: restarts";
  std::vector<float> out(12, -1.0f);
  EXPECT_EQ(ProcessSmoothing(s, out.data(), 6, 8), 4) << "rests from the sample after the fourth";
  EXPECT_EQ(out[0], 0.25f);
  EXPECT_EQ(out[1], 0.5f);
  EXPECT_EQ(out[3], 1.0f);
  EXPECT_EQ(out[5], 1.0f) << "the settle period writes the resting value";
  EXPECT_EQ(ProcessSmoothing(s, out.data() + 6, 6, 8), -1);
  EXPECT_EQ(s.settle, 0) << "2 + 6 samples of the settle period of 8";
  EXPECT_EQ(StartSmoothing(s, 1.0f, 4, SmoothMode::kLinear, 8), SmoothStart::kUnchanged);
  EXPECT_EQ(StartSmoothing(s, 0.5f, 1, SmoothMode::kSmoothstep, 8), SmoothStart::kStepped) << "one sample is a step";
  EXPECT_EQ(s.current, 0.5f);
}

TEST(ValueSmoother, SmoothstepEndsExactlyOnTheTargetWithHalfWayAtTheMiddle) {
  SmootherState s;
  StartSmoothing(s, 2.0f, 8, SmoothMode::kSmoothstep, 1);
  std::array<float, 8> out{};
  EXPECT_EQ(ProcessSmoothing(s, out.data(), 8, 1), 8);
  EXPECT_NEAR(out[3], 1.0f, 1e-5f);
  EXPECT_EQ(out[7], 2.0f);
  for (int k = 1; k < 8; ++k) EXPECT_GT(out[k], out[k - 1]);
}

TEST(EnvelopeSegment, FixedRampsCountDownAndTrackingRampsStopAtTheTarget) {
  EnvelopeRamp r;
  r.step = 0.25f;
  r.outStep = 0.5f;  // a held overall level of 2
  r.left = 3;
  std::array<float, 5> out{};
  EXPECT_EQ(RampFixedHeld(r, out.data(), 5), 3);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.level, 0.75f);
  EXPECT_EQ(out[2], 1.5f);

  EnvelopeRamp t;
  t.target = 1.0f;
  EXPECT_FALSE(RampTowardTarget(t, 0.6f));
  EXPECT_EQ(t.level, 0.6f);
  EXPECT_TRUE(RampTowardTarget(t, 0.6f)) << "passing the target ends the ramp";
  EXPECT_EQ(t.level, 0.6f) << "the caller finishes on the target";
  EXPECT_EQ(RampSampleCount(0.2), 1);
  EXPECT_EQ(RampSampleCount(1e20), INT_MAX);
  EXPECT_EQ(FiniteLevel(std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST(RenderTable, FirstFlagIsTheHighestBit) {
  static_assert(kr::RunBits(true, false, false) == 4);
  static_assert(kr::RunBits(false, true, true) == 3);
  constexpr auto table = kr::RenderTable<4>([](auto i) { return static_cast<int>(decltype(i)::value) * 10; });
  static_assert(table[3] == 30);
  EXPECT_TRUE(kr::Bit<1>(std::integral_constant<std::size_t, 2>{}));
  EXPECT_FALSE(kr::Bit<0>(std::integral_constant<std::size_t, 2>{}));
}
