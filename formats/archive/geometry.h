// Rectangles and points as documents store them: 32-bit integers.
#pragma once

#include <cstdint>

namespace kr {

struct DocRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const DocRect&) const = default;
};

struct DocPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const DocPoint&) const = default;
};

// View kinds: the panel (the plug-in's editor) and the structure (wiring) view.
inline constexpr int kPanelView = 128;
inline constexpr int kStructureView = 256;

}  // namespace kr
