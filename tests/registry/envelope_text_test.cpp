// The envelope text a drawn envelope stores, made into the shape the module
// plays: levels, rates from the point before, kinds and the end marker.
#include <gtest/gtest.h>

#include "registry/envelope_shape.h"

using namespace kr;

namespace {

TEST(EnvelopeText, PointsBecomeLevelsRatesAndKinds) {
  const auto shape = EnvelopeShapeFromText("(0.5,1.0)S(1.0,0.5)(2.0,0.0)");
  ASSERT_EQ(shape.size(), 4u);
  EXPECT_FLOAT_EQ(shape[0].level, 1.0f);
  EXPECT_FLOAT_EQ(shape[0].rate, 2.0f);  // from 0 at time 0: 1.0 in 0.5 s
  EXPECT_EQ(shape[0].kind, EnvelopePoint::kPoint);
  EXPECT_FLOAT_EQ(shape[1].rate, 1.0f);  // 0.5 down in 0.5 s
  EXPECT_EQ(shape[1].kind, EnvelopePoint::kSustain);
  EXPECT_FLOAT_EQ(shape[2].rate, 0.5f);
  EXPECT_EQ(shape[2].kind, EnvelopePoint::kEnd);  // the last point
  EXPECT_FLOAT_EQ(shape[3].rate, 10.0f);           // and the end marker after it
  EXPECT_EQ(shape[3].kind, EnvelopePoint::kEnd);
}

TEST(EnvelopeText, EmptyIsTheDefaultAndMalformedKeepsWhatCameBefore) {
  const auto byDefault = EnvelopeShapeFromText("");
  ASSERT_EQ(byDefault.size(), 4u);
  EXPECT_FLOAT_EQ(byDefault[1].level, 0.8f);
  EXPECT_EQ(byDefault[1].kind, EnvelopePoint::kSustain);

  const auto cut = EnvelopeShapeFromText("(0.1,0.5)(0.2;0.7)(0.3,0.1)");
  ASSERT_EQ(cut.size(), 2u) << "the points before the fault, then the end marker";
  EXPECT_FLOAT_EQ(cut[0].level, 0.5f);

  const auto wild = EnvelopeShapeFromText("(0.1,7)(0.1,-3)(nan,inf)");
  ASSERT_EQ(wild.size(), 4u);
  EXPECT_FLOAT_EQ(wild[0].level, 1.0f) << "levels stay within -1 .. 1";
  EXPECT_FLOAT_EQ(wild[1].level, -1.0f);
  EXPECT_FLOAT_EQ(wild[1].rate, 2.0f / 0.0001f) << "no time between points: the shortest step";
  EXPECT_FLOAT_EQ(wild[2].level, 0.0f) << "numbers that are not finite read as 0";
}

TEST(EnvelopeText, DefaultShapeAndItsStoredForm) {
  const EnvelopeNodes nodes = ParseEnvelopeText("");
  ASSERT_EQ(nodes.points.size(), 3u);
  EXPECT_FLOAT_EQ(nodes.points[0].time, 0.1f);
  EXPECT_FLOAT_EQ(nodes.points[0].level, 1.0f);
  EXPECT_FLOAT_EQ(nodes.points[1].time, 0.4f);
  EXPECT_FLOAT_EQ(nodes.points[1].level, 0.8f);
  EXPECT_EQ(nodes.sustain, 1);
  EXPECT_FLOAT_EQ(nodes.points[2].time, 1.0f);
  EXPECT_FLOAT_EQ(nodes.points[2].level, 0.0f);
  const auto shape = EnvelopeShapeOf(nodes);
  const float expected[][3] = {{1.0f, 10.0f, 0}, {0.8f, 0.6667f, 1}, {0.0f, 1.3333f, 2}, {0.0f, 10.0f, 2}};
  ASSERT_EQ(shape.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(shape[i].level, expected[i][0], 1e-6) << i;
    EXPECT_NEAR(shape[i].rate, expected[i][1], 5e-5) << i;
    EXPECT_EQ(shape[i].kind, static_cast<int>(expected[i][2])) << i;
  }
  const std::string text = EnvelopeTextOf(nodes);
  EXPECT_EQ(text, "(0.100000,1.000000)S(0.400000,0.800000)(1.000000,0.000000)");
  EXPECT_EQ(ParseEnvelopeText(text), nodes) << "the stored form reads back as it was";
}

TEST(EnvelopeText, FieldsThatAreNoFiniteNumberReadAsZeroAndTimesKeepTheirOrder) {
  const EnvelopeNodes nodes = ParseEnvelopeText("(nan,0.5)(0.5,inf)(infinity,-nan)(1e999,0.2)(0.25,0x1p1)( 2 ,-1e999)");
  ASSERT_EQ(nodes.points.size(), 6u);
  EXPECT_EQ(nodes.points[0].time, 0.0f);
  EXPECT_EQ(nodes.points[0].level, 0.5f);
  EXPECT_EQ(nodes.points[1].level, 0.0f);
  EXPECT_EQ(nodes.points[2].time, 0.5f) << "0 comes before the point ahead: held at its time";
  EXPECT_EQ(nodes.points[2].level, 0.0f);
  EXPECT_EQ(nodes.points[3].time, 0.5f) << "an overflowing time reads as 0";
  EXPECT_EQ(nodes.points[4].level, 0.0f) << "hexadecimal is no decimal number";
  EXPECT_EQ(nodes.points[5].time, 2.0f);
  EXPECT_EQ(nodes.points[5].level, 0.0f);
  EXPECT_EQ(ParseEnvelopeText("(5000,0.1)").points[0].time, EnvelopeNodes::kLatestTime);
  std::string many;
  for (int i = 0; i < 100; ++i) many += "(0.1,0.1)";
  EXPECT_EQ(ParseEnvelopeText(many).points.size(), static_cast<std::size_t>(EnvelopeNodes::kMaxPoints));
}

}  // namespace
