// A skin made from its files (a skin folder, or the built-in skin compiled
// into the program): every ".png" or ".bmp" image (a ".bmp" with its
// "_mask.bmp") with the descriptor ".txt" of the same name, and the styles
// of "global.txt". The result is the record a document stores, images held
// as PNG bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/skin/skin_records.h"
#include "formats/skin/style_file.h"

namespace kr::skin {

struct SkinFileSource {
  // The names of the files (no folders).
  std::vector<std::string> names;
  // A file's bytes; nothing when it cannot be read.
  std::function<std::optional<std::vector<std::uint8_t>>(const std::string& name)> read;
};

// Images that do not decode are left out and named in problems (when given).
std::unique_ptr<SkinInfo> BuildSkinFromFiles(std::string skinName, const SkinFileSource& files,
                                             const FontFamilyLookup& families,
                                             std::vector<std::string>* problems = nullptr);

}  // namespace kr::skin
