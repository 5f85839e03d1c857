// PNG through libpng: decoding skin images from memory, encoding pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/skin/skin_pixels.h"

namespace kr::skin {

// Decodes a PNG into skin pixels. By colour type: grey gives opaque
// 0x00GGGGGG (coverage: the grey byte); RGB opaque 0x00RRGGBB (coverage: the
// blue byte); RGBA the colour with the alpha inverted into the transparency
// byte (coverage: the green byte). Palette images are expanded to RGB or
// RGBA, grey with alpha is grey with a transparency byte (coverage: the grey
// byte). Nothing for a broken file or one above the size limits.
std::optional<SkinPixels> DecodePng(std::span<const std::uint8_t> bytes, PixelMode mode);

// Writes a PNG row by row (8-bit RGB or RGBA, no interlacing, fixed
// settings, so that the same pixels always give the same bytes).
class PngWriter {
 public:
  PngWriter(int width, int height, bool alpha);
  ~PngWriter();
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  // One row of width * 3 (RGB) or width * 4 (RGBA) bytes; rows from the top.
  bool WriteRow(const std::uint8_t* row);
  // The file, once every row has been written; empty on failure.
  std::vector<std::uint8_t> Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// A whole colour image (0xTTRRGGBB) as an RGBA PNG: alpha = 255 - TT.
std::vector<std::uint8_t> EncodeColourPng(const SkinPixels& pixels);

}  // namespace kr::skin
