#include "engine/module_files.h"

namespace kr {

WholeModuleFile ReadWholeModuleFile(ModuleFiles& files, std::string_view name, std::string_view defaultExtension,
                                    std::uint64_t maxBytes) {
  WholeModuleFile result;
  result.path = std::string(name);
  if (name.empty()) return result;
  std::unique_ptr<ReadStream> stream = files.OpenForReading(name, defaultExtension);
  if (!stream) return result;
  result.path = stream->Path();
  const std::uint64_t size = stream->Size();
  if (size > maxBytes) {
    result.tooLarge = true;
    return result;
  }
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(size));
  if (!stream->Seek(0) || stream->Read(*bytes) != bytes->size()) return result;
  result.bytes = std::move(bytes);
  return result;
}

}  // namespace kr
