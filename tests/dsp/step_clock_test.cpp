// The sequencer's step clock: steps from a song position, boundaries that
// land a hair short of a sample still begin there, positions out of reach.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/step_clock.h"

namespace krtest {
using namespace kr;

namespace {

TEST(StepClock, PositionsBoundariesAndGates) {
  EXPECT_EQ(dsp::StepsPerQuarter(16), 4.0);
  EXPECT_EQ(dsp::StepsPerQuarter(4), 1.0);
  EXPECT_EQ(dsp::StepsPerQuarter(0), 4.0) << "no step size: sixteenths";

  // 90 bpm at 44100 Hz: 7350 samples a sixteenth; the position at sample
  // 7350 computed as a sum comes out just short of step 1.
  const double perSample = 90.0 / (60.0 * 44100.0) * 4.0;
  const double shortOfOne = 1.0 - 1e-12;
  EXPECT_EQ(dsp::StepAt(shortOfOne, perSample, 0).step, 1);
  EXPECT_EQ(dsp::StepAt(shortOfOne, perSample, 0).fraction, 0.0);
  EXPECT_EQ(dsp::StepAt(0.0, perSample, 7349).step, 0);
  EXPECT_EQ(dsp::StepAt(0.0, perSample, 7350).step, 1);
  const dsp::StepPosition half = dsp::StepAt(2.0, perSample, 3675);
  EXPECT_EQ(half.step, 2);
  EXPECT_NEAR(half.fraction, 0.5, 1e-9);
  EXPECT_EQ(dsp::StepAt(-0.25, perSample, 0).step, -1) << "before the song's start";
  for (double far : {std::numeric_limits<double>::quiet_NaN(), 1e300, -1e300})
    EXPECT_EQ(dsp::StepAt(far, perSample, 0).step, 0) << far;

  EXPECT_TRUE(dsp::GateOpen(0.49, 0.5, false));
  EXPECT_FALSE(dsp::GateOpen(0.5 - 1e-12, 0.5, false)) << "closes on the sample where its length ends";
  EXPECT_TRUE(dsp::GateOpen(0.99, 0.5, true)) << "carried into a tie";
}

}  // namespace
}  // namespace krtest
