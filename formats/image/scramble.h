// The position-dependent byte substitution that hides the stored document
// inside the plug-in file. Unscramble is what the plug-in runs at load;
// Scramble is what the exporter runs so that Unscramble gives the bytes back.
#pragma once

#include <cstdint>
#include <span>

namespace kr {

// Every visited byte is exclusive-or'ed with this value.
inline constexpr std::uint8_t kScrambleKey = 0x5A;

// Walks from the first byte: flips the byte, then steps 3 bytes when the
// byte's lowest bit was 1 before the flip and 1 byte otherwise. Bytes stepped
// over stay as they are.
void Unscramble(std::span<std::uint8_t> bytes);

// The inverse: the step after each byte depends on the lowest bit of the
// byte after the flip, which is what Unscramble will see.
void Scramble(std::span<std::uint8_t> bytes);

}  // namespace kr
