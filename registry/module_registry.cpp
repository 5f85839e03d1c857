#include "registry/module_registry.h"

#include <algorithm>
#include <charconv>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/platform.h"
#include "registry/module_catalogue.h"

namespace kr {

namespace {

// Display and group names live in string resources of the Windows build. No
// platform call reads them yet, so every lookup answers "none" and the
// registry name (or group text) is shown instead.
std::optional<std::string> LoadStringResource(std::int32_t id) {
  (void)id;
  return std::nullopt;
}

constexpr std::size_t kMaxResourceText = 99;

std::string ResourceTextOr(std::int32_t id, const std::string& fallback) {
  if (id != 0) {
    if (std::optional<std::string> text = LoadStringResource(id)) {
      if (text->size() > kMaxResourceText) text->resize(kMaxResourceText);
      return *text;
    }
  }
  return fallback;
}

}  // namespace

ModuleRegistry& ModuleRegistry::Get() {
  static ModuleRegistry registry;
  return registry;
}

ModuleRegistry::ModuleRegistry() {
  fileTypes_.SetPluginPath(platform::ModulePath(), platform::PathSeparator());
  // The catalogue's rows stand in for every stored name until the modules'
  // own registrations replace them. Legacy rows first: their numbers are
  // their positions.
  for (const auto table : {&LegacyCatalogue, &NamedCatalogue, &PanelCatalogue}) {
    for (const CatalogueRow& row : table()) {
      RegisterPlaceholder(
          std::make_unique<Module_Info>(row.name, "", 0, 0, nullptr, nullptr, row.flags, "", row.moduleNumber));
    }
  }
}

ModuleRegistry::Outcome ModuleRegistry::Insert(std::unique_ptr<Module_Info>& entry, Module_Info** holder) {
  if (!entry || entry->name.empty()) return Outcome::Refused;
  std::unique_lock lock(mutex_);
  auto it = entries_.find(entry->name);
  if (it == entries_.end()) {
    const std::string name = entry->name;
    entries_.emplace(name, std::move(entry));
    return Outcome::Registered;
  }
  Module_Info& existing = *it->second;
  if (entry->placeholder) return Outcome::Refused;  // the module registered itself already
  if (existing.placeholder) {
    if (entry->moduleNumber < 0) entry->moduleNumber = existing.moduleNumber;
    retired_.push_back(std::exchange(it->second, std::move(entry)));
    return Outcome::Registered;
  }
  *holder = &existing;
  return Outcome::Duplicate;
}

bool ModuleRegistry::Register(std::unique_ptr<Module_Info> entry) {
  Module_Info* holder = nullptr;
  const Outcome outcome = Insert(entry, &holder);
  if (outcome == Outcome::Duplicate)  // shown outside the lock
    platform::ShowMessageBox(
        {"RegisterModule Error. Module found twice. " + holder->name, {}, platform::MessageIcon::Error});
  return outcome == Outcome::Registered;  // a duplicate leaves the first entry
}

Module_Info* ModuleRegistry::RegisterUnlessTaken(std::unique_ptr<Module_Info> entry) {
  Module_Info* holder = nullptr;
  return Insert(entry, &holder) == Outcome::Duplicate ? holder : nullptr;
}

void ModuleRegistry::AddModuleLibraryPath(const std::string& path) {
  std::unique_lock lock(mutex_);
  if (std::find(moduleLibraryPaths_.begin(), moduleLibraryPaths_.end(), path) == moduleLibraryPaths_.end())
    moduleLibraryPaths_.push_back(path);
}

std::vector<std::string> ModuleRegistry::ModuleLibraryPaths() const {
  std::shared_lock lock(mutex_);
  return moduleLibraryPaths_;
}

bool ModuleRegistry::RegisterPlaceholder(std::unique_ptr<Module_Info> entry) {
  if (entry) entry->placeholder = true;
  return Register(std::move(entry));
}

bool ModuleRegistry::Register(const ModuleDescriptor& descriptor) {
  return Register(std::make_unique<Module_Info>(descriptor));
}

Module_Info* ModuleRegistry::FindByName(std::string_view name) const {
  std::shared_lock lock(mutex_);
  if (auto it = entries_.find(name); it != entries_.end()) return it->second.get();
  if (!name.starts_with("BI")) return nullptr;
  const std::string_view digits = name.substr(2);
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc{} || end == digits.data()) return nullptr;
  return EntryByModuleNumber(number);
}

Module_Info* ModuleRegistry::EntryByModuleNumber(std::int32_t moduleNumber) const {
  // -1 marks "no legacy number"; it must not pick an arbitrary newer entry.
  if (moduleNumber < 0) return nullptr;
  for (const auto& [name, entry] : entries_)
    if (entry->moduleNumber == moduleNumber) return entry.get();
  return nullptr;
}

std::string ModuleRegistry::NameByModuleNumber(std::int32_t moduleNumber) const {
  if (moduleNumber < 0) return {};
  std::shared_lock lock(mutex_);
  for (const auto& [name, entry] : entries_)
    if (entry->moduleNumber == moduleNumber) return name;
  return {};
}

std::string ModuleRegistry::DisplayName(const Module_Info& entry) const {
  return ResourceTextOr(entry.displayNameId, entry.name);
}

std::string ModuleRegistry::GroupName(const Module_Info& entry) const {
  return ResourceTextOr(entry.groupId, entry.groupText);
}

bool RegisterModule(std::unique_ptr<Module_Info> entry) { return ModuleRegistry::Get().Register(std::move(entry)); }

bool RegisterModule(const ModuleDescriptor& descriptor) { return ModuleRegistry::Get().Register(descriptor); }

bool RegisterPlaceholderModule(std::unique_ptr<Module_Info> entry) {
  return ModuleRegistry::Get().RegisterPlaceholder(std::move(entry));
}

}  // namespace kr
