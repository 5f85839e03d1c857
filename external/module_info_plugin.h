// The registry entry of a module that lives in a module library: the
// library's path and the module's index in it, read once at registration
// (its names, flags and plug list come from the library itself).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "external/module_library.h"
#include "external/module_library_abi.h"
#include "registry/module_info.h"

namespace kr {

class Module_Info_Plugin : public Module_Info {
 public:
  Module_Info_Plugin(std::string libraryPath, std::int32_t moduleIndex);

  // Reads the entry of one module through a loaded library (registered as
  // path), given the properties getModuleProperties filled (null when it is
  // not exported).
  // Null when the library gives no usable module; problem then says why
  // (empty: nothing to tell the user, as for a record with a wrong first word).
  static std::unique_ptr<Module_Info_Plugin> Read(std::shared_ptr<ModuleLibrary> library, const std::string& path,
                                                  std::int32_t moduleIndex, const modlib::ModuleProperties* properties,
                                                  std::string& problem);

  // The library, loaded on demand and shared; null (and the user told) when
  // it cannot be loaded.
  std::shared_ptr<ModuleLibrary> Library();

  std::string identifier;
  std::string displayName;
  std::int32_t moduleIndex;
  std::string libraryPath;
  std::int32_t extraFlags = 0;
  std::int32_t version = 0;
  bool secondInterface = false;  // the library exports "makeModule"

 private:
  void TakeProperties(const modlib::ModuleProperties& properties, bool all);

  // Held only while the entry is read; audio objects hold their own.
  std::shared_ptr<ModuleLibrary> reading_;
};

// The document module of a library entry: a CPlugin, or a CPlugin2 for the
// second interface, naming its library by file name.
DocumentFactory LibraryDocumentFactory();

}  // namespace kr
