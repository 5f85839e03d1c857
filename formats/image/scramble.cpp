#include "formats/image/scramble.h"

namespace kr {

namespace {
// 1 or 3, computed without a branch: the bit is random, so a branch would
// mispredict half the time.
std::size_t StepAfter(std::uint8_t scrambledByte) { return 1u + 2u * (scrambledByte & 1u); }
}  // namespace

void Unscramble(std::span<std::uint8_t> bytes) {
  // The remaining count falls by the same step as the position rises, so
  // "count at or below zero" is "position at or past the end".
  for (std::size_t at = 0; at < bytes.size();) {
    const std::uint8_t scrambled = bytes[at];
    bytes[at] = static_cast<std::uint8_t>(scrambled ^ kScrambleKey);
    at += StepAfter(scrambled);
  }
}

void Scramble(std::span<std::uint8_t> bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const auto scrambled = static_cast<std::uint8_t>(bytes[at] ^ kScrambleKey);
    bytes[at] = scrambled;
    at += StepAfter(scrambled);
  }
}

}  // namespace kr
