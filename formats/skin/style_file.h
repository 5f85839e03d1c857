// The style file of a skin ("global.txt"): text styles by category.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/skin/skin_records.h"

namespace kr::skin {

// Style flags.
enum StyleFlags : std::int32_t {
  kStyleCentre = 0x08,
  kStyleRight = 0x10,
  kStyleUnderline = 0x40,
  kStyleBold = 0x80,
  kStyleLight = 0x100,
  kStyleItalic = 0x200,
};

// Answers the installed spelling of a font family name (compared without
// regard to case), or nothing when no such family is installed.
using FontFamilyLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The styles of a style file, in order. Each "FONT_CATEGORY" line starts a
// style (name in lower case, face "Arial", size 12, colour 0xFFFFFF, no
// background, no flags); lines before the first one are dropped.
std::vector<std::unique_ptr<SkinFontInfo>> ParseStyleFile(std::string_view text, const FontFamilyLookup& families);

}  // namespace kr::skin
