#include "formats/skin/bmp_decode.h"

#include <algorithm>

#include "base/little_endian.h"

namespace kr::skin {

std::variant<SkinPixels, std::string> DecodeBmp(std::span<const std::uint8_t> b) {
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return std::string("not a Windows bitmap file");
  packaging::LittleEndianReader le(b);
  auto U16 = [&](std::span<const std::uint8_t>, std::size_t at) { return le.U16(at); };
  auto U32 = [&](std::span<const std::uint8_t>, std::size_t at) { return le.U32(at); };
  const std::uint32_t dataOffset = U32(b, 10);
  const std::uint32_t headerSize = U32(b, 14);
  std::int64_t width = 0, height = 0;
  int bits = 0;
  std::uint32_t compression = 0, paletteCount = 0;
  std::size_t paletteAt = 0, paletteEntry = 4;
  if (headerSize == 12) {  // the OS/2 core header
    width = U16(b, 18);
    height = static_cast<std::int16_t>(U16(b, 20));
    bits = U16(b, 24);
    paletteEntry = 3;
  } else if (headerSize >= 40) {
    width = static_cast<std::int32_t>(U32(b, 18));
    height = static_cast<std::int32_t>(U32(b, 22));
    bits = U16(b, 28);
    compression = U32(b, 30);
    paletteCount = U32(b, 46);
  } else {
    return std::string("unknown bitmap header");
  }
  if (!le.ok() || headerSize > b.size()) return std::string("bitmap header runs past the end");
  paletteAt = 14 + std::size_t{headerSize};
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (!AcceptableSize(width, height)) return std::string("bitmap size out of range");
  if (compression != 0 && !(compression == 3 && bits == 32)) return std::string("compressed bitmaps are not supported");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::string("unsupported bits per pixel");

  std::uint32_t palette[256] = {};
  if (bits <= 8) {
    const std::uint32_t most = 1u << bits;
    if (paletteCount == 0 || paletteCount > most) paletteCount = most;
    for (std::uint32_t i = 0; i < paletteCount; ++i) {
      const std::size_t at = paletteAt + i * paletteEntry;
      if (at + 3 > b.size()) return std::string("bitmap palette runs past the end");
      palette[i] = (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 1]} << 8) | b[at];
    }
  }
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t need = stride * static_cast<std::size_t>(height);
  if (dataOffset > b.size() || b.size() - dataOffset < need) return std::string("bitmap pixels run past the end");

  SkinPixels out;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.colour.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < out.height; ++y) {
    const std::uint8_t* row = b.data() + dataOffset + stride * static_cast<std::size_t>(topDown ? y : out.height - 1 - y);
    std::uint32_t* dest = &out.colour[static_cast<std::size_t>(y) * out.width];
    for (int x = 0; x < out.width; ++x) {
      std::uint32_t p = 0;
      switch (bits) {
        case 1: p = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: p = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]; break;
        case 8: p = palette[row[x]]; break;
        case 24: p = (std::uint32_t{row[x * 3 + 2]} << 16) | (std::uint32_t{row[x * 3 + 1]} << 8) | row[x * 3]; break;
        default: p = (std::uint32_t{row[x * 4 + 2]} << 16) | (std::uint32_t{row[x * 4 + 1]} << 8) | row[x * 4]; break;
      }
      dest[x] = p;
    }
  }
  return out;
}

void ApplyMask(SkinPixels& image, const SkinPixels& mask) {
  if (image.mode != PixelMode::Colour || mask.mode != PixelMode::Colour) return;
  const int w = std::min(image.width, mask.width);
  const int h = std::min(image.height, mask.height);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t& p = image.colour[static_cast<std::size_t>(y) * image.width + x];
      const std::uint32_t red = (mask.ColourAt(x, y) >> 16) & 0xFF;
      p = (p & 0x00FFFFFF) | (red << 24);
    }
}

void ApplyTransparentPixel(SkinPixels& image, int x, int y) {
  if (image.mode != PixelMode::Colour || x < 0 || y < 0 || x >= image.width || y >= image.height) return;
  const std::uint32_t key = image.ColourAt(x, y) & 0x00FFFFFF;
  for (auto& p : image.colour) p = (p & 0x00FFFFFF) == key ? 0xFF000000u : (p & 0x00FFFFFF);
}

}  // namespace kr::skin
