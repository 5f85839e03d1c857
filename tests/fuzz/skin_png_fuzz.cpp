// libFuzzer target for PNG skin images: any bytes decode or fail cleanly, in
// both modes, within the size limits.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "formats/skin/png_codec.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (auto mode : {kr::skin::PixelMode::Colour, kr::skin::PixelMode::Coverage}) {
    const auto image = kr::skin::DecodePng(bytes, mode);
    if (image && !kr::skin::AcceptableSize(image->width, image->height)) std::abort();
  }
  return 0;
}
