// A module library loaded into the process. One copy per path is shared by
// everything that uses it (registry entries while they read it, every audio
// object made from it, every plug-in copy in the process), and it is
// released when the last user lets go: never while an audio object made
// from it still exists.
#pragma once

#include <memory>
#include <string>

#include "external/module_library_abi.h"
#include "platform/platform.h"

namespace kr {

class ModuleLibrary {
 public:
  // Takes over a loaded handle (OpenModuleLibrary makes these).
  ModuleLibrary(std::string path, platform::LibraryHandle handle);
  ~ModuleLibrary();
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  const std::string& Path() const { return path_; }

  // The exports; null when the library lacks one.
  modlib::GetModulePropertiesFunction getModuleProperties = nullptr;
  modlib::MakeModuleFunction makeModule = nullptr;
  modlib::MainFunction main = nullptr;

 private:
  std::string path_;
  platform::LibraryHandle handle_;
};

// The library at path (folders separated by "/" or "\"), loaded now or
// shared with its users; null, with the system's reason in error, when it
// cannot be loaded.
std::shared_ptr<ModuleLibrary> OpenModuleLibrary(const std::string& path, std::string& error);

// The path with both "/" and "\" turned into this platform's separator.
std::string NativeLibraryPath(std::string_view path);

}  // namespace kr
