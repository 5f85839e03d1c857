#include "document/scramble.h"

namespace kr {

namespace {
std::size_t StepAfter(std::uint8_t scrambledByte) { return (scrambledByte & 1u) != 0 ? 3 : 1; }
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
