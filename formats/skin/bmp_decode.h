// Windows bitmap files: our own small decoder for the uncompressed forms
// (1, 4, 8, 24 and 32 bits a pixel, bottom-up or top-down rows).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "formats/skin/skin_pixels.h"

namespace kr::skin {

// Opaque colour pixels 0x00RRGGBB, or the reason the file was refused.
std::variant<SkinPixels, std::string> DecodeBmp(std::span<const std::uint8_t> bytes);

// Transparency for a bitmap: from a mask (the mask pixel's red component
// becomes the transparency byte; a mask of another size is used where it
// overlaps), else from the colour of the pixel at (x, y) when that lies in
// the image (that colour becomes invisible, 0xFF000000).
void ApplyMask(SkinPixels& image, const SkinPixels& mask);
void ApplyTransparentPixel(SkinPixels& image, int x, int y);

}  // namespace kr::skin
