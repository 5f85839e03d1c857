#include "dsp/osc_pitch.h"

#include <bit>
#include <cmath>

namespace kr::dsp {

void FillPitchTable(ULookup_Integer& table, double sampleRate) {
  for (int i = 0; i < table.Size(); ++i) {
    const double hz = std::exp2((i * (1.0 / 5120.0) + 0.8) * 10.0 - 5.0) * 440.0;
    const double increment = hz * 4294967296.0 / sampleRate + 0.5;
    // Very low rates would overflow the top octave: saturate instead of wrapping.
    table[i] = increment >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(increment);
  }
}

OscPitch::OscPitch(double sampleRate)
    : sampleRate_(sampleRate > 0.0 ? sampleRate : 44100.0),
      table_(SharedIntegerLookup("osc pitch lookup", static_cast<int>(sampleRate_),
                                 [this](ULookup_Integer& t) { FillPitchTable(t, sampleRate_); })) {}

std::uint32_t OscPitch::VoltsPerOctave(float pitch) const {
  const double volts = static_cast<double>(pitch) * 10.0;
  // Outside this span the shift below saturates or empties anyway; the
  // bit trick needs |V| < 2^19.
  if (!(volts < 64.0)) return volts >= 64.0 ? 0xFFFFFFFFu : 0u;  // NaN counts as silent
  if (volts <= -64.0) return 0;
  // Adding 1.5 * 2^20 leaves the integer part in the high word and the
  // fraction, in units of 2^-32, in the low word.
  const auto bits = std::bit_cast<std::uint64_t>(volts + 1572864.0);
  const int whole = static_cast<int>(static_cast<std::uint32_t>(bits >> 32) - 0x41380000u);
  const auto low = static_cast<std::uint32_t>(bits);
  const std::uint32_t k = low >> 23;
  const std::uint32_t fraction = low & 0x7FFFFFu;
  const ULookup_Integer& t = *table_;
  const std::uint32_t a = t[static_cast<int>(k)];
  const std::uint32_t b = t[static_cast<int>(k) + 1];
  // 64-bit product: the difference times 2^23 does not fit 32 bits.
  const std::uint32_t r = a + static_cast<std::uint32_t>((static_cast<std::uint64_t>(b - a) * fraction) >> 23);
  const int shift = whole - 8;
  if (shift > 0) {
    if (shift > 8 || (r >> (32 - shift)) != 0) return 0xFFFFFFFFu;
    return r << shift;
  }
  return -shift >= 32 ? 0u : r >> -shift;
}

std::uint32_t OscPitch::VoltsPerKHz(float pitch) const {
  double hz = static_cast<double>(pitch) * 10.0 * 1000.0;
  if (!(hz > 0.0)) hz = 0.0;
  if (hz > sampleRate_ * 0.5) hz = sampleRate_ * 0.5;
  return static_cast<std::uint32_t>(hz * 4294967296.0 / sampleRate_ + 0.5);
}

}  // namespace kr::dsp
