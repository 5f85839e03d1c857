#include "external/module_library.h"

#include <map>
#include <mutex>

namespace kr {

namespace {

template <class Function>
Function Export(platform::LibraryHandle handle, const char* name) {
  return reinterpret_cast<Function>(platform::LibrarySymbol(handle, name));
}

// Plug-in copies start up on their hosts' threads: the table is shared.
std::mutex& PoolMutex() {
  static std::mutex mutex;
  return mutex;
}
std::map<std::string, std::weak_ptr<ModuleLibrary>>& Pool() {
  static std::map<std::string, std::weak_ptr<ModuleLibrary>> pool;
  return pool;
}

}  // namespace

ModuleLibrary::ModuleLibrary(std::string path, platform::LibraryHandle handle)
    : path_(std::move(path)), handle_(handle) {
  getModuleProperties = Export<modlib::GetModulePropertiesFunction>(handle_, modlib::kGetModulePropertiesExport);
  makeModule = Export<modlib::MakeModuleFunction>(handle_, modlib::kMakeModuleExport);
  main = Export<modlib::MainFunction>(handle_, modlib::kMainExport);
}

ModuleLibrary::~ModuleLibrary() { platform::FreeLibrary(handle_); }

std::string NativeLibraryPath(std::string_view path) {
  std::string native(path);
  for (char& c : native)
    if (c == '/' || c == '\\') c = platform::PathSeparator();
  return native;
}

std::shared_ptr<ModuleLibrary> OpenModuleLibrary(const std::string& path, std::string& error) {
  const std::string native = NativeLibraryPath(path);
  std::lock_guard lock(PoolMutex());
  auto& pool = Pool();
  if (auto it = pool.find(native); it != pool.end()) {
    if (auto shared = it->second.lock()) return shared;
  }
  platform::LibraryHandle handle = platform::LoadLibrary(native);
  if (handle == nullptr) {
    error = platform::LastLibraryError();
    return nullptr;
  }
  auto library = std::make_shared<ModuleLibrary>(native, handle);
  pool[native] = library;
  return library;
}

}  // namespace kr
