#include <gtest/gtest.h>

#include <vector>

#include "engine/samp_block.h"
#include "registry/range_text.h"
#include "registry/voltage.h"

using namespace kr;

namespace {

TEST(RangeText, FourNumbersGiveHiAndLo) {
  const RangeText r = ParseRangeText("5,-5,5,-5");
  EXPECT_EQ(r.HiValueText(), "5.000");
  EXPECT_EQ(r.LoValueText(), "-5.000");
  EXPECT_EQ(ParseRangeText("100, 0, 10, 0").numbers, (std::array<double, 4>{100, 0, 10, 0}));
  EXPECT_EQ(ParseRangeText("-100, 0, 0, -10").numbers, (std::array<double, 4>{-100, 0, 0, -10}));
  EXPECT_EQ(ParseRangeText("16 5 16 5").numbers, (std::array<double, 4>{16, 5, 16, 5}));
  EXPECT_EQ(ParseRangeText("1,2,3,4,").numbers, (std::array<double, 4>{1, 2, 3, 4}));
}

TEST(RangeText, AnythingButFourItemsGivesDefaults) {
  const std::array<double, 4> defaults{100, 0, 10, 0};
  for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "nonsense", " 1,2,3,4"})
    EXPECT_EQ(ParseRangeText(bad).numbers, defaults) << '"' << bad << '"';
  EXPECT_EQ(ParseRangeText("").HiValueText(), "10.000");
  EXPECT_EQ(ParseRangeText("").LoValueText(), "0.000");
  EXPECT_EQ(ParseRangeText("a,b,c,d").numbers, (std::array<double, 4>{0, 0, 0, 0}));  // four items, not numbers
}

TEST(Voltage, SamplesAreTenthsOfVolts) {
  EXPECT_FLOAT_EQ(voltage::VoltsToSample(5.0), 0.5f);
  EXPECT_DOUBLE_EQ(voltage::SampleToVolts(1.0f), 10.0);
  std::vector<float> block(16, -1.0f);
  voltage::FillFromDefaultText(block, "5");
  for (float s : block) EXPECT_FLOAT_EQ(s, 0.5f);
  EXPECT_FLOAT_EQ(voltage::DefaultTextToSample("10"), 1.0f);
  EXPECT_FLOAT_EQ(voltage::DefaultTextToSample("-2.5"), -0.25f);
  EXPECT_FLOAT_EQ(voltage::DefaultTextToSample("volts"), 0.0f);
}

TEST(Voltage, PitchScales) {
  EXPECT_DOUBLE_EQ(voltage::PitchVoltsToHz(5.0), 440.0);
  EXPECT_DOUBLE_EQ(voltage::PitchVoltsToHz(6.0), 880.0);
  EXPECT_DOUBLE_EQ(voltage::PitchVoltsToHz(4.0), 220.0);
  EXPECT_NEAR(voltage::HzToPitchVolts(261.6256), 5.0 - 9.0 / 12.0, 1e-6);
  EXPECT_DOUBLE_EQ(voltage::KHzVoltsToHz(0.44), 440.0);
  EXPECT_DOUBLE_EQ(voltage::HzToKHzVolts(1000.0), 1.0);
}

}  // namespace

namespace {

TEST(Voltage, DefaultFillsAWholeSampleBlock) {
  USampBlock block(32);
  voltage::FillFromDefaultText(std::span<float>(block.samples(), block.length()), "5");
  for (int i = 0; i < block.length(); ++i) EXPECT_FLOAT_EQ(block[i], 0.5f) << i;
}

}  // namespace
