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
  ModuleFiles* files = FilesOf(module);
  if (files == nullptr) return {nullptr, std::string(name), false};
  return ReadWholeModuleFile(*files, name, defaultExtension, kMaxModuleFileBytes);
}

std::string WritePathFor(ug_base& module, std::string_view name, std::string_view defaultExtension) {
  ModuleFiles* files = FilesOf(module);
  return files != nullptr ? files->PathForWriting(name, defaultExtension) : std::string();
}

}  // namespace kr::modules
