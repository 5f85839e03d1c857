// Skins at run time: the registry of the skins a document stores (plus
// Kestrune's own "default", built into the program), images by name with
// their descriptors, and text styles.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/skin/bitmap_descriptor.h"
#include "formats/skin/skin_pixels.h"
#include "formats/skin/skin_records.h"

namespace kr::gui {

// An image as panels draw it, shared by every control that shows it.
struct SkinImage {
  std::string name;
  skin::SkinPixels pixels;
  skin::BitmapDescriptor descriptor;
};
using SkinImagePtr = std::shared_ptr<const SkinImage>;

class SkinRegistry;

// SkinInfo at run time.
class Skin {
 public:
  Skin(SkinRegistry& registry, const SkinInfo& record);
  const std::string& Name() const { return record_.name; }
  SkinRegistry& Registry() const { return registry_; }

  // The image of that name (any extension stripped) in the given mode: from
  // this skin, else from "default" (the document's, then the built-in one).
  // None when no skin has it; the first miss of a name says so in a message
  // box ("Error Loading Image.  Check this file exists: ...").
  SkinImagePtr GetImage(std::string_view name, skin::PixelMode mode = skin::PixelMode::Colour);
  // This skin's image only (no fallback, no message).
  SkinImagePtr OwnImage(const std::string& name, skin::PixelMode mode);

  // The style of that name (case-sensitive); the default style (Arial, 12,
  // white, no background, no flags) when there is none.
  const SkinFontInfo& GetStyle(std::string_view name) const;
  // By category: 1..3 "heading 1..3", 4..6 "user 1..3", else "normal".
  const SkinFontInfo& GetStyle(int category) const;

  static const SkinFontInfo& DefaultStyle();

 private:
  SkinRegistry& registry_;
  const SkinInfo& record_;
  std::map<std::pair<std::string, int>, SkinImagePtr> cache_;  // a null entry: looked for, not there
};

class SkinRegistry {
 public:
  // The document's skins (kept by the caller while the registry lives); a
  // skin named like an earlier one (ignoring case) is left out. The
  // built-in "default" joins unless the document stores one.
  explicit SkinRegistry(const std::vector<std::unique_ptr<SkinInfo>>& documentSkins);
  ~SkinRegistry();

  // Case-insensitive; unknown names get "default".
  Skin& GetSkin(std::string_view name);
  Skin& BuiltInDefault() { return *builtIn_; }
  const std::vector<std::unique_ptr<Skin>>& Skins() const { return skins_; }

 private:
  std::unique_ptr<SkinInfo> builtInRecord_;
  std::unique_ptr<Skin> builtIn_;
  std::vector<std::unique_ptr<Skin>> skins_;
  std::vector<std::string> missed_;  // image paths already reported
  friend class Skin;
};

// The built-in "default" skin as the record a document stores.
std::unique_ptr<SkinInfo> MakeBuiltInDefaultSkin();

}  // namespace kr::gui
