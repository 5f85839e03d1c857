// Decoded skin pixels: colour images as 0xTTRRGGBB (TT the transparency:
// 0 opaque, 255 invisible) or coverage maps (one byte a pixel, 255 full),
// rows from the top. Decoders answer at most kMaxImageSide on each side and
// kMaxImagePixels in all, whatever a file claims.
#pragma once

#include <cstdint>
#include <vector>

namespace kr::skin {

inline constexpr int kMaxImageSide = 8192;
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 24;

enum class PixelMode { Colour = 0, Coverage = 1 };

struct SkinPixels {
  int width = 0;
  int height = 0;
  PixelMode mode = PixelMode::Colour;
  std::vector<std::uint32_t> colour;   // width * height in colour mode
  std::vector<std::uint8_t> coverage;  // width * height in coverage mode

  bool Empty() const { return width <= 0 || height <= 0; }
  std::uint32_t ColourAt(int x, int y) const { return colour[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t CoverageAt(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
};

// Whether a claimed size is one a decoder accepts.
inline bool AcceptableSize(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

// A colour image turned into a coverage map: the average of red, green and
// blue (the rule for images that are not PNG files).
SkinPixels CoverageFromColour(const SkinPixels& colour);

}  // namespace kr::skin
