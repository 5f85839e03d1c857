// libFuzzer target for Windows bitmap skin images and their masks.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <variant>

#include "formats/skin/bmp_decode.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  auto image = kr::skin::DecodeBmp(bytes);
  if (auto* pixels = std::get_if<kr::skin::SkinPixels>(&image)) {
    if (pixels->colour.size() != static_cast<std::size_t>(pixels->width) * static_cast<std::size_t>(pixels->height))
      std::abort();
    kr::skin::SkinPixels mask = *pixels;
    kr::skin::ApplyMask(*pixels, mask);
    kr::skin::ApplyTransparentPixel(*pixels, size % 7, size % 5);
  }
  return 0;
}
