#include "gui/skin/skin.h"

#include "base/path_names.h"
#include "formats/skin/default_skin.h"
#include "formats/skin/skin_files.h"
#include "formats/skin/stored_image.h"
#include "gui/draw/font.h"
#include "platform/platform.h"

namespace kr::gui {

namespace {

// The name without its extension: the part after the last "." that follows
// the last folder separator goes.
std::string StripExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  const std::size_t sep = name.find_last_of("\\/");
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return std::string(name);
  return std::string(name.substr(0, dot));
}

SkinImagePtr DecodeRecord(const CAnimBitmap& record, skin::PixelMode mode) {
  auto pixels = skin::DecodeStoredPixels(record, mode);
  if (!pixels) return nullptr;
  auto image = std::make_shared<SkinImage>();
  image->name = record.name;
  image->descriptor = skin::StoredDescriptor(record, pixels->width, pixels->height);
  image->pixels = std::move(*pixels);
  return image;
}

}  // namespace

Skin::Skin(SkinRegistry& registry, const SkinInfo& record) : registry_(registry), record_(record) {}

SkinImagePtr Skin::OwnImage(const std::string& name, skin::PixelMode mode) {
  const auto key = std::make_pair(name, static_cast<int>(mode));
  if (auto it = cache_.find(key); it != cache_.end()) return it->second;
  // A record stored for this mode first, then one of the other mode.
  const CAnimBitmap* found = nullptr;
  for (const auto& r : record_.images)
    if (r && r->name == name && (found == nullptr || r->mode == static_cast<int>(mode))) found = r.get();
  SkinImagePtr image = found ? DecodeRecord(*found, mode) : nullptr;
  cache_[key] = image;
  return image;
}

SkinImagePtr Skin::GetImage(std::string_view requested, skin::PixelMode mode) {
  const std::string name = StripExtension(requested);
  if (name.empty()) return nullptr;
  if (auto image = OwnImage(name, mode)) return image;
  Skin& documentDefault = registry_.GetSkin("default");
  if (&documentDefault != this)
    if (auto image = documentDefault.OwnImage(name, mode)) return image;
  if (auto image = registry_.BuiltInDefault().OwnImage(name, mode)) return image;
  // Said once for each image, as the path the skin folder would have held it at.
  const std::string path = "default\\" + name + ".png";
  for (const std::string& m : registry_.missed_)
    if (m == path) return nullptr;
  registry_.missed_.push_back(path);
  platform::ShowMessageBox({"Error Loading Image.  Check this file exists: " + path, "Kestrune"});
  return nullptr;
}

const SkinFontInfo& Skin::DefaultStyle() {
  static const SkinFontInfo style = [] {
    SkinFontInfo s;
    s.face = "Arial";
    s.size = 12;
    s.colour = 0xFFFFFF;
    s.background = -1;
    s.flags = 0;
    return s;
  }();
  return style;
}

const SkinFontInfo& Skin::GetStyle(std::string_view name) const {
  // A skin without styles takes the default skin's (its "global.txt").
  const SkinInfo& source = record_.styles.empty() ? *registry_.builtInRecord_ : record_;
  for (const auto& s : source.styles)
    if (s && s->name == name) return *s;
  return DefaultStyle();
}

const SkinFontInfo& Skin::GetStyle(int category) const {
  static const char* const names[] = {"normal", "heading 1", "heading 2", "heading 3", "user 1", "user 2", "user 3"};
  return GetStyle(category >= 1 && category <= 6 ? names[category] : names[0]);
}

std::unique_ptr<SkinInfo> MakeBuiltInDefaultSkin() {
  skin::SkinFileSource files;
  for (const auto& blob : skin::DefaultSkinFiles()) files.names.emplace_back(blob.name);
  files.read = [](const std::string& name) -> std::optional<std::vector<std::uint8_t>> {
    for (const auto& blob : skin::DefaultSkinFiles())
      if (blob.name == name) return std::vector<std::uint8_t>(blob.bytes.begin(), blob.bytes.end());
    return std::nullopt;
  };
  return skin::BuildSkinFromFiles("default", files, &InstalledFamilyName);
}

SkinRegistry::SkinRegistry(const std::vector<std::unique_ptr<SkinInfo>>& documentSkins)
    : builtInRecord_(MakeBuiltInDefaultSkin()), builtIn_(std::make_unique<Skin>(*this, *builtInRecord_)) {
  bool storesDefault = false;
  for (const auto& record : documentSkins) {
    if (!record) continue;
    bool seen = false;
    for (const auto& s : skins_) seen = seen || EqualsIgnoringCase(s->Name(), record->name);
    if (seen) continue;
    storesDefault = storesDefault || EqualsIgnoringCase(record->name, "default");
    skins_.push_back(std::make_unique<Skin>(*this, *record));
  }
  if (!storesDefault) skins_.push_back(std::make_unique<Skin>(*this, *builtInRecord_));
}

SkinRegistry::~SkinRegistry() = default;

Skin& SkinRegistry::GetSkin(std::string_view name) {
  for (auto& s : skins_)
    if (EqualsIgnoringCase(s->Name(), name)) return *s;
  for (auto& s : skins_)
    if (EqualsIgnoringCase(s->Name(), "default")) return *s;
  return *skins_.front();
}

}  // namespace kr::gui
