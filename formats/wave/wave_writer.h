// The 44-byte header of a plain WAVE file (16-bit PCM or 32-bit float),
// written before the samples and rewritten as they grow.
#pragma once

#include <array>
#include <cstdint>

namespace kr::wave {

inline constexpr std::size_t kHeaderBytes = 44;
// The most sample bytes a header can describe (its RIFF size is data + 36).
inline constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

std::array<std::uint8_t, kHeaderBytes> MakeHeader(bool isFloat, int channels, std::uint32_t sampleRate,
                                                  std::uint32_t dataBytes);

}  // namespace kr::wave
