// libFuzzer target for the skins a document stores: the skin block (its
// version chosen by the first bytes), then every image's pixels and
// descriptor.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "formats/archive/archive_reader.h"
#include "formats/skin/stored_image.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const int kVersions[] = {44, 58, 60, 94960, 95061, 95130, 95163, 95710};
  const int version = kVersions[data[0] % 8];
  try {
    ArchiveReader ar(std::span<const std::uint8_t>(data + 1, size - 1), version, &FindSkinClass);
    const auto skins = ReadSkinBlock(ar);
    for (const auto& skin : skins)
      for (const auto& image : skin->images)
        for (auto mode : {kr::skin::PixelMode::Colour, kr::skin::PixelMode::Coverage})
          if (auto pixels = kr::skin::DecodeStoredPixels(*image, mode)) {
            const auto d = kr::skin::StoredDescriptor(*image, pixels->width, pixels->height);
            if ((d.lastFrame + 1) * d.frameHeight > pixels->height) std::abort();
          }
  } catch (const ArchiveError&) {
  }
  return 0;
}
