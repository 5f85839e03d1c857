#include "external/library_registration.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include "base/path_names.h"
#include "document/hosted_modules.h"
#include "external/module_info_plugin.h"
#include "external/ug_plugin.h"
#include "platform/platform.h"
#include "registry/module_registry.h"

namespace kr {

namespace {

// Registration runs start to end under one lock: two plug-in copies that
// start at once never read the same library twice, and the second finds
// the first one's entries.
std::mutex& RegistrationMutex() {
  static std::mutex mutex;
  return mutex;
}

void Warn(const std::string& text) { platform::ShowMessageBox({text, {}, platform::MessageIcon::Warning}); }

void CantLoad(const std::string& reason, const std::string& path) {
  Warn("Can't load KR Plugin(" + reason + "). (" + path + ").");
}

bool AlreadyRegistered(const std::string& path) {
  const auto paths = ModuleRegistry::Get().ModuleLibraryPaths();
  return std::find(paths.begin(), paths.end(), path) != paths.end();
}

void Register(std::unique_ptr<Module_Info_Plugin> entry) {
  const std::string path = entry->libraryPath;
  Module_Info* holder = ModuleRegistry::Get().RegisterUnlessTaken(std::move(entry));
  if (holder == nullptr) {
    ModuleRegistry::Get().pluginEntryCount.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  const auto* other = dynamic_cast<const Module_Info_Plugin*>(holder);
  if (other != nullptr && other->libraryPath == path) return;  // another plug-in copy's registration
  Warn("Module FOUND TWICE!, only one loaded\n" + (other != nullptr ? other->libraryPath : holder->name) + "\n" + path);
}

void RegisterLoadedLibrary(const std::string& path) {
  std::string error;
  std::shared_ptr<ModuleLibrary> library = OpenModuleLibrary(path, error);
  if (!library) {
    CantLoad(error, path);
    return;
  }
  std::vector<std::unique_ptr<Module_Info_Plugin>> entries;
  std::string problem;
  if (library->getModuleProperties != nullptr) {
    // Counted first: a library that never says "no more" is refused whole.
    std::int32_t count = 0;
    for (modlib::ModuleProperties probe{}; library->getModuleProperties(count, &probe) != 0; probe = {}) {
      if (++count > kMaxLibraryModules) {
        CantLoad("more than " + std::to_string(kMaxLibraryModules) + " modules", path);
        return;
      }
    }
    for (std::int32_t index = 0; index < count; ++index) {
      modlib::ModuleProperties properties{};
      if (library->getModuleProperties(index, &properties) == 0) break;
      if (auto entry = Module_Info_Plugin::Read(library, path, index, &properties, problem)) {
        entries.push_back(std::move(entry));
      } else if (!problem.empty()) {
        CantLoad(problem, path);
      }
    }
  } else if (auto entry = Module_Info_Plugin::Read(library, path, 0, nullptr, problem)) {
    entries.push_back(std::move(entry));
  } else if (!problem.empty()) {
    CantLoad(problem, path);
  }
  for (auto& entry : entries) Register(std::move(entry));
}

std::unique_ptr<CUG> MakeStandInModule(Module_Info* entry) { return std::make_unique<CPlugin>(entry, std::string()); }

// No library behind it: no audio object, and placeholder plugs for the
// stored ones to stand on.
std::unique_ptr<ug_base> MakeNoObject(Module_Info*) { return nullptr; }
void ListPlaceholderPlugs(InterfaceList& list) { ug_plugin(nullptr).ListInterface(list); }

bool IsLibraryFile(const std::string& extension) { return extension == "krm" || extension == "krp"; }
bool IsListedOnly(const std::string& extension) {
  return extension == "dll" || extension == "kr1" || extension == "so";
}

}  // namespace

void RegisterExternalModules() {
  static std::once_flag once;
  std::call_once(once, [] {
    ModuleRegistry::Get().Register(std::make_unique<Module_Info>(
        "Plugin", "", 0, 0, &MakeStandInModule, AudioFactory(&MakeNoObject, &ListPlaceholderPlugs), MF_STRUCTURE_VIEW));
    ModuleRegistry::Get().SetLibraryFinder(&FindModuleLibrary);
  });
}

void RegisterModuleLibrary(const std::string& path) {
  const std::string extension = ExtensionLowerCase(path);
  if (!IsLibraryFile(extension) && !IsListedOnly(extension)) return;
  std::lock_guard lock(RegistrationMutex());
  if (AlreadyRegistered(path)) return;
  ModuleRegistry::Get().AddModuleLibraryPath(path);
  if (IsLibraryFile(extension)) RegisterLoadedLibrary(path);
}

void RegisterModuleLibraries(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  std::vector<std::string> names;
  for (fs::directory_iterator it(fs::path(folder), error), end; !error && it != end; it.increment(error)) {
    std::error_code kindError;
    if (it->is_regular_file(kindError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::string base = folder;
  if (!base.empty() && !IsFolderSeparator(base.back())) base += platform::PathSeparator();
  for (const std::string& name : names) RegisterModuleLibrary(base + name);
}

bool FindModuleLibrary(std::string_view storedLibraryFile) {
  const std::string_view fileName = FileNamePart(storedLibraryFile);
  if (fileName.empty() || !IsLibraryFile(ExtensionLowerCase(fileName))) return false;
  for (const std::string& path : ModuleRegistry::Get().ModuleLibraryPaths())
    if (EqualsIgnoringCase(FileNamePart(path), fileName)) return true;
  std::string folder = ModuleRegistry::Get().DefaultDirectory("dll");
  if (!folder.empty() && !IsFolderSeparator(folder.back())) folder += platform::PathSeparator();
  for (const std::string& candidate : {folder + std::string(fileName), NativeLibraryPath(storedLibraryFile)}) {
    if (!platform::FileLastWriteTime(candidate)) continue;
    RegisterModuleLibrary(candidate);
    return true;
  }
  return false;
}

}  // namespace kr
