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

}  // namespace
