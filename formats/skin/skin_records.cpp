#include "formats/skin/skin_records.h"

#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"

namespace kr {

const RuntimeClass CSkinBitmap::kClass{"CSkinBitmap", 1, false, nullptr, &MakePlain<CSkinBitmap>};
const RuntimeClass CAnimBitmap::kClass{"CAnimBitmap", 1, false, &CSkinBitmap::kClass, &MakePlain<CAnimBitmap>};
const RuntimeClass SkinFontInfo::kClass{"SkinFontInfo", 1, false, nullptr, &MakePlain<SkinFontInfo>};
const RuntimeClass SkinInfo::kClass{"SkinInfo", 1, false, nullptr, &MakePlain<SkinInfo>};

void CSkinBitmap::Load(ArchiveReader& ar) {
  const int v = ar.Version();
  height = ar.ReadInt32();
  width = ar.ReadInt32();
  name = ar.ReadText();
  if (v >= 95163) mode = ar.ReadInt32();
  if (v >= 94961) {
    png = ar.ReadSizedBytes();
    return;
  }
  const std::int32_t n = ar.ReadInt32();
  unusedNumber = ar.ReadInt32();
  if (n < 0 || static_cast<std::size_t>(n) > ar.Remaining() / 4) throw ArchiveError("bad pixel count");
  pixels.reserve(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) pixels.push_back(ar.ReadUInt32());
}

void CSkinBitmap::Store(ArchiveWriter& ar) const {
  const int v = ar.Version();
  ar.WriteInt32(height);
  ar.WriteInt32(width);
  ar.WriteText(name);
  if (v >= 95163) ar.WriteInt32(mode);
  if (v >= 94961) {
    ar.WriteSizedBytes(png);
    return;
  }
  ar.WriteInt32(static_cast<std::int32_t>(pixels.size()));
  ar.WriteInt32(unusedNumber);
  for (auto p : pixels) ar.WriteUInt32(p);
}

void CAnimBitmap::Load(ArchiveReader& ar) {
  CSkinBitmap::Load(ar);
  count = ar.ReadInt32();
  code = ar.ReadInt32();
  rangeEnd = ar.ReadInt32();
  rangeStart = ar.ReadInt32();
  handleRect = ar.ReadRect();
  frameWidth = ar.ReadInt32();
  frameHeight = ar.ReadInt32();
  lastFrame = ar.ReadInt32();
  type = ar.ReadInt32();
  if (ar.Version() >= 95061) {
    paddingLeft = ar.ReadInt32();
    paddingRight = ar.ReadInt32();
    paddingTop = ar.ReadInt32();
    paddingBottom = ar.ReadInt32();
  }
}

void CAnimBitmap::Store(ArchiveWriter& ar) const {
  CSkinBitmap::Store(ar);
  ar.WriteInt32(count);
  ar.WriteInt32(code);
  ar.WriteInt32(rangeEnd);
  ar.WriteInt32(rangeStart);
  ar.WriteRect(handleRect);
  ar.WriteInt32(frameWidth);
  ar.WriteInt32(frameHeight);
  ar.WriteInt32(lastFrame);
  ar.WriteInt32(type);
  if (ar.Version() >= 95061) {
    ar.WriteInt32(paddingLeft);
    ar.WriteInt32(paddingRight);
    ar.WriteInt32(paddingTop);
    ar.WriteInt32(paddingBottom);
  }
}

void SkinFontInfo::Load(ArchiveReader& ar) {
  name = ar.ReadText();
  face = ar.ReadText();
  size = ar.ReadInt32();
  colour = ar.ReadInt32();
  if (ar.Version() > 95129) {
    background = ar.ReadInt32();
    flags = ar.ReadInt32();
  }
}

void SkinFontInfo::Store(ArchiveWriter& ar) const {
  ar.WriteText(name);
  ar.WriteText(face);
  ar.WriteInt32(size);
  ar.WriteInt32(colour);
  if (ar.Version() > 95129) {
    ar.WriteInt32(background);
    ar.WriteInt32(flags);
  }
}

void SkinInfo::Load(ArchiveReader& ar) {
  name = ar.ReadText();
  while (auto* image = ar.ReadObjectOf<CAnimBitmap>()) {
    if (auto owned = ar.ClaimAs(image)) images.push_back(std::move(owned));
  }
  const std::uint32_t n = ar.ReadCount();
  if (n > ar.Remaining()) throw ArchiveError("style list runs past the end");
  for (std::uint32_t i = 0; i < n; ++i) {
    auto* style = ar.ReadObjectOf<SkinFontInfo>();
    if (auto owned = ar.ClaimAs(style)) styles.push_back(std::move(owned));
  }
}

void SkinInfo::Store(ArchiveWriter& ar) const {
  ar.WriteText(name);
  for (const auto& image : images) ar.WriteObject(image.get());
  ar.WriteObject(nullptr);
  ar.WriteCount(static_cast<std::uint32_t>(styles.size()));
  for (const auto& style : styles) ar.WriteObject(style.get());
}

std::vector<std::unique_ptr<SkinInfo>> ReadSkinBlock(ArchiveReader& ar) {
  std::vector<std::unique_ptr<SkinInfo>> skins;
  std::int32_t count = 1;
  if (ar.Version() >= 59) count = ar.ReadInt32();
  if (count > 0 && static_cast<std::size_t>(count) > ar.Remaining()) throw ArchiveError("bad skin count");
  for (std::int32_t i = 0; i < count; ++i) {
    auto skin = std::make_unique<SkinInfo>();
    skin->Load(ar);
    skins.push_back(std::move(skin));
  }
  return skins;
}

void WriteSkinBlock(ArchiveWriter& ar, const std::vector<std::unique_ptr<SkinInfo>>& skins) {
  if (ar.Version() >= 59) {
    ar.WriteInt32(static_cast<std::int32_t>(skins.size()));
    for (const auto& skin : skins) skin->Store(ar);
  } else if (!skins.empty()) {
    skins.front()->Store(ar);  // older documents hold exactly one skin
  }
}

const RuntimeClass* FindSkinClass(std::string_view name) {
  for (const RuntimeClass* c : {&CSkinBitmap::kClass, &CAnimBitmap::kClass, &SkinFontInfo::kClass, &SkinInfo::kClass})
    if (name == c->name) return c;
  return nullptr;
}

}  // namespace kr
