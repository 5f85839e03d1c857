#include "formats/image/scramble.h"

#include <gtest/gtest.h>

#include "support/test_images.h"

using namespace kr;

namespace {

using krtest::Bytes;
constexpr std::uint8_t K = kr::kScrambleKey;

TEST(Scramble, UnscrambleFlipsVisitedBytesAndStepsByTheirLowestBit) {
  // 0x01 is odd: flipped, then 3 ahead; 0x10 even: flipped, then 1 ahead.
  Bytes walk = {0x01, 0x22, 0x33, 0x10, 0x04};
  kr::Unscramble(walk);
  EXPECT_EQ(walk, (Bytes{static_cast<std::uint8_t>(0x01 ^ K), 0x22, 0x33, static_cast<std::uint8_t>(0x10 ^ K),
                         static_cast<std::uint8_t>(0x04 ^ K)}));

  // The last odd byte steps past the end: the walk stops there.
  Bytes pastEnd = {0x00, 0x03};
  kr::Unscramble(pastEnd);
  EXPECT_EQ(pastEnd, (Bytes{K, static_cast<std::uint8_t>(0x03 ^ K)}));

  Bytes empty;
  kr::Unscramble(empty);
  EXPECT_TRUE(empty.empty());
}

TEST(Scramble, ScrambleStepsByTheLowestBitOfTheScrambledByte) {
  // A plain byte whose flip is odd makes the walk skip the next two bytes.
  const std::uint8_t plainOdd = static_cast<std::uint8_t>(0x01 ^ K);
  Bytes bytes = {plainOdd, 0xAA, 0xBB, 0xCC};
  kr::Scramble(bytes);
  EXPECT_EQ(bytes, (Bytes{0x01, 0xAA, 0xBB, static_cast<std::uint8_t>(0xCC ^ K)}));
}

TEST(Scramble, RoundTripsEveryShortBufferBothWays) {
  // Every buffer of length 0..2, and many of each length up to 7.
  for (unsigned value = 0; value < 0x10000; ++value) {
    const Bytes one = {static_cast<std::uint8_t>(value)};
    const Bytes two = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    for (const Bytes& original : {one, two}) {
      Bytes b = original;
      kr::Scramble(b);
      kr::Unscramble(b);
      ASSERT_EQ(b, original);
      kr::Unscramble(b);
      kr::Scramble(b);
      ASSERT_EQ(b, original);
    }
  }
  for (std::size_t length = 0; length <= 7; ++length) {
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
      const Bytes original = krtest::RandomBytes(length, seed);
      Bytes b = original;
      kr::Scramble(b);
      kr::Unscramble(b);
      ASSERT_EQ(b, original) << "length " << length << " seed " << seed;
    }
  }
}

TEST(Scramble, LargeBufferRoundTripsAndIsActuallyChanged) {
  const Bytes original = krtest::RandomBytes(100000, 7);
  Bytes b = original;
  kr::Scramble(b);
  std::size_t changed = 0;
  for (std::size_t i = 0; i < b.size(); ++i) changed += b[i] != original[i];
  // Steps of 1 and 3 alternate at random: about half the bytes are visited.
  EXPECT_GT(changed, b.size() / 3);
  EXPECT_LT(changed, b.size() * 2 / 3);
  kr::Unscramble(b);
  EXPECT_EQ(b, original);
}

}  // namespace
