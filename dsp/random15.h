// A small random generator with a 15-bit range (0 ... 32767), one per
// module: no shared state, no lock, and the same range on every system.
#pragma once

#include <cstdint>

namespace kr::dsp {

struct Random15 {
  std::uint32_t state = 1;

  void Seed(std::uint32_t seed) { state = seed; }
  // The linear congruential step of the classic portable rand().
  int Next() {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
  }
  // 0 ... 1 (0 to 10 V).
  float NextUnit() { return static_cast<float>(Next()) * (1.0f / 32767.0f); }
};

}  // namespace kr::dsp
