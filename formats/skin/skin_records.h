// Skins stored in a document: images (PNG bytes, or raw pixels in older
// documents) with their control descriptors, and text styles. Decoding the
// PNG bytes is the skin code's job; the records keep them as stored.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/archive/geometry.h"
#include "formats/archive/runtime_class.h"

namespace kr {

class CSkinBitmap : public CObject {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::int32_t height = 0;
  std::int32_t width = 0;
  std::string name;
  std::int32_t mode = 0;              // 0 colour, 1 coverage; version 95163 on
  std::vector<std::uint8_t> png;      // version 94961 on
  std::vector<std::uint32_t> pixels;  // older documents: 0xTTRRGGBB
  std::int32_t unusedNumber = 0;      // stored with the raw pixels
};

class CAnimBitmap : public CSkinBitmap {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::int32_t count = 5;
  std::int32_t code = -1;
  std::int32_t rangeEnd = 50;
  std::int32_t rangeStart = 0;
  DocRect handleRect{0, 0, 10, 10};
  std::int32_t frameWidth = 0;
  std::int32_t frameHeight = 0;
  std::int32_t lastFrame = 0;
  std::int32_t type = 0;
  std::int32_t paddingLeft = 0, paddingRight = 0, paddingTop = 0, paddingBottom = 0;  // version 95061 on
};

class SkinFontInfo : public CObject {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::string name;
  std::string face;
  std::int32_t size = 12;
  std::int32_t colour = 0xFFFFFF;
  std::int32_t background = -1;  // above version 95129
  std::int32_t flags = 0;        // above version 95129
};

// One skin, stored in place (no object tag).
class SkinInfo : public CObject {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::string name;
  std::vector<std::unique_ptr<CAnimBitmap>> images;
  std::vector<std::unique_ptr<SkinFontInfo>> styles;
};

// The header's embedded skin block.
std::vector<std::unique_ptr<SkinInfo>> ReadSkinBlock(ArchiveReader& ar);
void WriteSkinBlock(ArchiveWriter& ar, const std::vector<std::unique_ptr<SkinInfo>>& skins);

// The skin classes by stored name, for reading a skin block on its own.
const RuntimeClass* FindSkinClass(std::string_view name);

}  // namespace kr
