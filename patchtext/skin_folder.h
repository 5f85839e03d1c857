// Reading a skin folder from disk for the patch text's "skins" entry: the
// plug-in itself reads skins only from its stored document.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formats/skin/skin_records.h"

namespace kr {

namespace patchtext {

// Null when the folder cannot be listed. Images that do not decode are
// named in problems.
std::unique_ptr<SkinInfo> ReadSkinFolder(std::string name, const std::filesystem::path& folder,
                                         std::vector<std::string>& problems);

}  // namespace patchtext

}  // namespace kr
