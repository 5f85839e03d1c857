// The process-wide table of module kinds, looked up by name (documents of
// version 79 on) or by legacy module number (older documents). Made on first
// use with a placeholder for every catalogued name; the built-in modules
// register themselves through the start-up list (modules/builtin_modules.h),
// which replaces their placeholders. Module libraries add entries later, at
// each plug-in copy's start-up, possibly while another copy looks names up:
// lookups and registration take a shared lock. Entries live as long as the
// process: a document keeps pointers to the entries its modules were made from.
#pragma once

#include <cstdint>
#include <functional>
#include <atomic>
#include <map>
#include <memory>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "registry/file_types.h"
#include "registry/module_info.h"

namespace kr {

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
  // Registers an entry unless its name is taken by an entry that is not a
  // placeholder; then nothing is shown, the new entry is destroyed and the
  // one holding the name is answered (null: registered).
  Module_Info* RegisterUnlessTaken(std::unique_ptr<Module_Info> entry);

  // Exact name; else "BI<number>" finds the entry with that legacy number.
  Module_Info* FindByName(std::string_view name) const;
  // Empty when no entry carries the number.
  std::string NameByModuleNumber(std::int32_t moduleNumber) const;

  std::string DisplayName(const Module_Info& entry) const;
  std::string GroupName(const Module_Info& entry) const;

  // For listing; not while another thread may register.
  const EntryMap& Entries() const { return entries_; }
  FileTypeTable& FileTypes() { return fileTypes_; }
  const FileTypeTable& FileTypes() const { return fileTypes_; }
  std::string DefaultDirectory(std::string_view extension) const { return fileTypes_.DefaultDirectory(extension); }

  // External module libraries found (each once), and the entries they gave.
  void AddModuleLibraryPath(const std::string& path);
  std::vector<std::string> ModuleLibraryPaths() const;
  std::atomic<std::int32_t> pluginEntryCount{0};

  // The module-library code's way of finding a library a document names by
  // its stored file name and registering its modules; false when none is found.
  using LibraryFinder = bool (*)(std::string_view storedLibraryFile);
  void SetLibraryFinder(LibraryFinder finder) { libraryFinder_.store(finder, std::memory_order_release); }
  bool FindLibrary(std::string_view storedLibraryFile) const {
    LibraryFinder finder = libraryFinder_.load(std::memory_order_acquire);
    return finder != nullptr && finder(storedLibraryFile);
  }

 private:
  ModuleRegistry();
  enum class Outcome { Registered, Refused, Duplicate };
  Outcome Insert(std::unique_ptr<Module_Info>& entry, Module_Info** holder);
  // Called with the lock held.
  Module_Info* EntryByModuleNumber(std::int32_t moduleNumber) const;

  mutable std::shared_mutex mutex_;
  EntryMap entries_;
  // Placeholders that an entry replaced, kept so that nothing pointing at
  // them is left dangling.
  std::vector<std::unique_ptr<Module_Info>> retired_;
  FileTypeTable fileTypes_;
  std::vector<std::string> moduleLibraryPaths_;
  std::atomic<LibraryFinder> libraryFinder_{nullptr};
};

// Registers an entry in the process-wide registry; for static initialisers.
bool RegisterModule(std::unique_ptr<Module_Info> entry);
bool RegisterModule(const ModuleDescriptor& descriptor);
bool RegisterPlaceholderModule(std::unique_ptr<Module_Info> entry);

}  // namespace kr
