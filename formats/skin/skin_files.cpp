#include "formats/skin/skin_files.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "base/path_names.h"
#include "formats/skin/bmp_decode.h"
#include "formats/skin/png_codec.h"
#include "formats/skin/stored_image.h"

namespace kr::skin {

namespace {

std::string Stem(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool EndsWithIgnoringCase(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && EqualsIgnoringCase(s.substr(s.size() - tail.size()), tail);
}

std::string AsText(const std::optional<std::vector<std::uint8_t>>& bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// Finds a file by name without regard to case (skins come from Windows).
const std::string* FindName(const std::vector<std::string>& names, std::string_view wanted) {
  for (const std::string& n : names)
    if (EqualsIgnoringCase(n, wanted)) return &n;
  return nullptr;
}

}  // namespace

std::unique_ptr<SkinInfo> BuildSkinFromFiles(std::string skinName, const SkinFileSource& files,
                                             const FontFamilyLookup& families, std::vector<std::string>* problems) {
  auto skin = std::make_unique<SkinInfo>();
  skin->name = std::move(skinName);
  auto complain = [&](std::string text) {
    if (problems) problems->push_back(std::move(text));
  };
  std::vector<std::string> names = files.names;
  std::sort(names.begin(), names.end());

  std::set<std::string> done;
  // PNG before BMP: a name found as both is the PNG.
  for (const char* ext : {".png", ".bmp"}) {
    for (const std::string& file : names) {
      if (!EndsWithIgnoringCase(file, ext) || EndsWithIgnoringCase(file, "_mask.bmp")) continue;
      const std::string stem = Stem(file);
      if (!done.insert(ToLowerAscii(stem)).second) continue;
      const auto bytes = files.read(file);
      if (!bytes) {
        complain(file + ": can't read it");
        continue;
      }
      BitmapDescriptor d;
      if (const std::string* txt = FindName(names, stem + ".txt")) d = ParseBitmapDescriptor(AsText(files.read(*txt)));
      SkinPixels pixels;
      std::vector<std::uint8_t> png;
      if (std::string_view(ext) == ".png") {
        auto decoded = DecodePng(*bytes, PixelMode::Colour);
        if (!decoded) {
          complain(file + ": not a PNG image this program can read");
          continue;
        }
        pixels = std::move(*decoded);
        png = *bytes;
      } else {
        auto decoded = DecodeBmp(*bytes);
        if (auto* why = std::get_if<std::string>(&decoded)) {
          complain(file + ": " + *why);
          continue;
        }
        pixels = std::move(std::get<SkinPixels>(decoded));
        if (const std::string* maskName = FindName(names, stem + "_mask.bmp")) {
          if (auto maskBytes = files.read(*maskName)) {
            auto mask = DecodeBmp(*maskBytes);
            if (auto* m = std::get_if<SkinPixels>(&mask)) ApplyMask(pixels, *m);
          }
        } else {
          ApplyTransparentPixel(pixels, d.transparentX, d.transparentY);
        }
        png = EncodeColourPng(pixels);
      }
      FinishDescriptor(d, pixels.width, pixels.height);
      skin->images.push_back(MakeImageRecord(stem, pixels, std::move(png), d));
    }
  }
  if (const std::string* styles = FindName(names, "global.txt"))
    skin->styles = ParseStyleFile(AsText(files.read(*styles)), families);
  return skin;
}

}  // namespace kr::skin
