// Blending in linear light with integer tables (16384 = 1.0):
// L[i] = (i / 255)^2.2 * 16384, rounded, and its inverse by binary search.
#pragma once

#include <array>
#include <cstdint>

namespace kr::gui {

class LinearLight {
 public:
  static const LinearLight& Get();  // built once, on first use

  int ToLinear(int channel) const { return lin_[static_cast<std::size_t>(channel & 0xFF)]; }
  // The largest k with t[k] < x, or 0.
  int FromLinear(int x) const;

 private:
  LinearLight();
  std::array<int, 256> lin_{};
  std::array<int, 256> threshold_{};
};

}  // namespace kr::gui
