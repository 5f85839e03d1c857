// The eight-point windowed-sinc interpolator of the sample players: 33 rows
// of weights for the samples at offsets -3 ... +4 around a read position,
// row p for the fraction p / 32 (row 32 is row 0 moved on by one sample),
// blended linearly between neighbouring rows.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/lookup_tables.h"

namespace kr::dsp::sinc {

inline constexpr int kRows = 33;
inline constexpr int kTaps = 8;
inline constexpr int kBefore = 3;  // taps before the read position
inline constexpr int kAfter = 4;   // taps after it
inline constexpr int kReserved = 320;

// Fills rows 0 ... 32 (each sums to 1; denormal weights are 0; integer
// offsets from the position weigh exactly 0, so row 0 reads the sample itself).
void Fill(ULookup& table);
// The shared table "Sine-C Interpolation" (key -1). Not on the audio thread.
std::shared_ptr<const ULookup> SharedTable();

// The value between samples at[0] and at[1]: 8.24 phase fraction in the
// low 24 bits of acc; at[-3] ... at[4] must be readable. Stride steps
// between successive samples of one channel (interleaved data).
template <class Sample>
inline float Read(const float* table, const Sample* at, std::uint32_t acc, int stride = 1) {
  const std::uint32_t fraction = acc & 0xFFFFFFu;
  const float* rowA = table + (fraction >> 19) * kTaps;
  const float* rowB = rowA + kTaps;
  const float t = static_cast<float>(fraction & 0x7FFFFu) * (1.0f / 524288.0f);
  float a = 0.0f, b = 0.0f;
  for (int j = 0; j < kTaps; ++j) {
    const float s = static_cast<float>(at[(j - kBefore) * stride]);
    a += s * rowA[j];
    b += s * rowB[j];
  }
  return a + (b - a) * t;
}

}  // namespace kr::dsp::sinc
