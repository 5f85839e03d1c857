#include "patchtext/skin_folder.h"

#include <system_error>

#include "base/whole_file.h"
#include "formats/skin/skin_files.h"
#include "gui/draw/font.h"

namespace kr {

namespace patchtext {

std::unique_ptr<SkinInfo> ReadSkinFolder(std::string name, const std::filesystem::path& folder,
                                         std::vector<std::string>& problems) {
  std::error_code ec;
  kr::skin::SkinFileSource files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.is_regular_file(ec)) files.names.push_back(entry.path().filename().string());
  if (ec) return nullptr;
  files.read = [folder](const std::string& file) { return kr::ReadWholeFile((folder / file).string()); };
  return kr::skin::BuildSkinFromFiles(std::move(name), files, &kr::gui::InstalledFamilyName, &problems);
}

}  // namespace patchtext

}  // namespace kr
