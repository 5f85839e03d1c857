// The process-wide table of module kinds, looked up by name (documents of
// version 79 on) or by legacy module number (older documents). Made on first
// use with a placeholder for every catalogued name; the built-in modules
// register themselves through the start-up list (modules/builtin_modules.h),
// which replaces their placeholders. Filled on the loading thread, read-only
// afterwards. Entries live as long as the process: a document keeps pointers
// to the entries its modules were made from.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "registry/file_types.h"
#include "registry/module_info.h"

class ModuleRegistry {
 public:
  using EntryMap = std::map<std::string, std::unique_ptr<Module_Info>, std::less<>>;

  // Creates and fills the registry on the first call.
  static ModuleRegistry& Get();

  // False (entry destroyed) for an empty name. A name already present shows
  // "RegisterModule Error. Module found twice. <name>", keeps the first entry
  // and answers false. Placeholders are the exception, whatever the order:
  // an entry replaces a placeholder of its name (taking over its legacy
  // number when it has none), and a placeholder never replaces an entry.
  bool Register(std::unique_ptr<Module_Info> entry);
  bool Register(const ModuleDescriptor& descriptor);
  // Registers an entry of the built-in name tables as a placeholder.
  bool RegisterPlaceholder(std::unique_ptr<Module_Info> entry);

  // Exact name; else "BI<number>" finds the entry with that legacy number.
  Module_Info* FindByName(std::string_view name) const;
  // Empty when no entry carries the number.
  std::string NameByModuleNumber(std::int32_t moduleNumber) const;

  std::string DisplayName(const Module_Info& entry) const;
  std::string GroupName(const Module_Info& entry) const;

  const EntryMap& Entries() const { return entries_; }
  FileTypeTable& FileTypes() { return fileTypes_; }
  const FileTypeTable& FileTypes() const { return fileTypes_; }
  std::string DefaultDirectory(std::string_view extension) const { return fileTypes_.DefaultDirectory(extension); }

  std::vector<std::string> moduleLibraryPaths;  // external module libraries found
  std::int32_t pluginEntryCount = 0;             // external entries registered

 private:
  ModuleRegistry();

  EntryMap entries_;
  // Placeholders that an entry replaced, kept so that nothing pointing at
  // them is left dangling.
  std::vector<std::unique_ptr<Module_Info>> retired_;
  FileTypeTable fileTypes_;
};

// Registers an entry in the process-wide registry; for static initialisers.
bool RegisterModule(std::unique_ptr<Module_Info> entry);
bool RegisterModule(const ModuleDescriptor& descriptor);
bool RegisterPlaceholderModule(std::unique_ptr<Module_Info> entry);
