// The denormal tests of "Denormal Detector" and "Denormal Cleaner", on the
// 32-bit sample pattern. They use the masks of the stored engine (0x7FF00000
// for the exponent, 0x000FFFFF for the mantissa), so a pattern with a zero
// exponent field but one of the three highest mantissa bits set counts as
// normal.
#pragma once

#include <bit>
#include <cstdint>

namespace kr::dsp {

inline bool LooksDenormal(float v) {
  const auto b = std::bit_cast<std::uint32_t>(v);
  return (b & 0x7FF00000u) == 0 && (b & 0x000FFFFFu) != 0;
}

// 5.0 for a denormal pattern, else 0.
inline float DenormalFlag(float v) { return LooksDenormal(v) ? 5.0f : 0.0f; }

// The sample unchanged when its exponent bits are set, else 0.
inline float CleanDenormal(float v) { return (std::bit_cast<std::uint32_t>(v) & 0x7FF00000u) != 0 ? v : 0.0f; }

}  // namespace kr::dsp
