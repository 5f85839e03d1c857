#include "modules/module_file_reader.h"

#include "engine/audio_master.h"
#include "engine/module_files.h"
#include "engine/ug_base.h"

namespace kr::modules {

namespace {
ModuleFiles* FilesOf(ug_base& module) {
  return module.audioMaster != nullptr ? module.audioMaster->Host().Files() : nullptr;
}
}  // namespace

ModuleFile ReadModuleFile(ug_base& module, std::string_view name, std::string_view defaultExtension) {
  ModuleFile result;
  result.path = std::string(name);
  ModuleFiles* files = FilesOf(module);
  if (files == nullptr || name.empty()) return result;
  std::unique_ptr<ReadStream> stream = files->OpenForReading(name, defaultExtension);
  if (!stream) return result;
  result.path = stream->Path();
  const std::uint64_t size = stream->Size();
  if (size > kMaxModuleFileBytes) {
    result.tooLarge = true;
    return result;
  }
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(size));
  if (!stream->Seek(0) || stream->Read(*bytes) != bytes->size()) return result;
  result.bytes = std::move(bytes);
  return result;
}

std::string WritePathFor(ug_base& module, std::string_view name, std::string_view defaultExtension) {
  ModuleFiles* files = FilesOf(module);
  return files != nullptr ? files->PathForWriting(name, defaultExtension) : std::string();
}

}  // namespace kr::modules
