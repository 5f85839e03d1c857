#include "formats/image/stored_document.h"

#include "base/path_names.h"
#include "base/whole_file.h"
#include "formats/image/scramble.h"
#include "platform/platform.h"

namespace kr {

std::string DataFilePathFor(std::string_view pluginPath) { return ReplaceExtension(pluginPath, ".dat"); }

std::optional<std::vector<std::uint8_t>> ReadStoredDocument(const std::string& pluginPath) {
  if (auto stored = platform::LoadStoredResourceFromFile(pluginPath, kStoredDocumentType, kStoredDocumentId)) {
    Unscramble(*stored);
    return stored;
  }
  const std::string dataPath = DataFilePathFor(pluginPath);
  if (auto plain = ReadWholeFile(dataPath)) return plain;

  const std::string text =
      std::string(FileStem(pluginPath)) + ": Can't find plugin data file. (" + dataPath + ")";
  platform::ShowMessageBox({text, {}, platform::MessageIcon::Warning});
  return std::nullopt;
}

}  // namespace kr
