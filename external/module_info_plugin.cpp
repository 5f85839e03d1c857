#include "external/module_info_plugin.h"

#include <array>

#include "base/path_names.h"
#include "document/hosted_modules.h"
#include "external/ug_plugin.h"
#include "platform/platform.h"

namespace kr {

namespace {

std::unique_ptr<ug_base> MakeLibraryObject(Module_Info* info) {
  auto* entry = dynamic_cast<Module_Info_Plugin*>(info);
  if (entry == nullptr) return nullptr;
  return ug_plugin::Make(*entry);
}

std::unique_ptr<CUG> MakeLibraryModule(Module_Info* info) {
  auto* entry = dynamic_cast<Module_Info_Plugin*>(info);
  std::string file(entry != nullptr ? FileNamePart(entry->libraryPath) : std::string_view());
  if (entry != nullptr && entry->secondInterface) return std::make_unique<CPlugin2>(info, std::move(file));
  return std::make_unique<CPlugin>(info, std::move(file));
}

// Opcodes 4 and 5 fill a 100-byte buffer; its last byte stays the terminator.
std::string AskText(ug_plugin& module, std::int32_t opcode) {
  std::array<char, modlib::kTextBufferBytes> buffer{};
  module.Dispatch(opcode, 0, 0, buffer.data());
  buffer.back() = '\0';
  return LibraryText(buffer.data(), buffer.size());
}

}  // namespace

DocumentFactory LibraryDocumentFactory() { return &MakeLibraryModule; }

Module_Info_Plugin::Module_Info_Plugin(std::string libraryPath_, std::int32_t moduleIndex_)
    : Module_Info({}, {}, 0, 0, &MakeLibraryModule, AudioFactory(&MakeLibraryObject, nullptr), MF_STRUCTURE_VIEW),
      moduleIndex(moduleIndex_),
      libraryPath(std::move(libraryPath_)) {}

std::shared_ptr<ModuleLibrary> Module_Info_Plugin::Library() {
  if (reading_) return reading_;
  std::string error;
  auto library = OpenModuleLibrary(libraryPath, error);
  if (!library)
    platform::ShowMessageBox(
        {"Can't load KR Plugin(" + error + "). (" + libraryPath + ").", {}, platform::MessageIcon::Warning});
  return library;
}

void Module_Info_Plugin::TakeProperties(const modlib::ModuleProperties& p, bool all) {
  if (p.displayName != nullptr) displayName = LibraryText(p.displayName);
  if (p.version != 0) version = p.version;
  if (!all) return;
  if (p.identifier != nullptr) identifier = LibraryText(p.identifier);
  groupText = p.group != nullptr ? LibraryText(p.group) : std::string();
  extraFlags |= p.flags;
  if (p.registryFlags != 0) flags = p.registryFlags | MF_LISTED_BY_CLASS;
}

std::unique_ptr<Module_Info_Plugin> Module_Info_Plugin::Read(std::shared_ptr<ModuleLibrary> library,
                                                             const std::string& path, std::int32_t moduleIndex,
                                                             const modlib::ModuleProperties* properties,
                                                             std::string& problem) {
  auto entry = std::make_unique<Module_Info_Plugin>(path, moduleIndex);
  entry->reading_ = library;
  entry->secondInterface = library->makeModule != nullptr;
  if (properties != nullptr) entry->TakeProperties(*properties, true);

  std::unique_ptr<ug_plugin> sample = ug_plugin::Make(*entry);
  if (sample == nullptr) {
    if (library->makeModule == nullptr && library->main == nullptr) return nullptr;  // the user was told
    // A module the library refused: placeholder plugs keep a document's wires.
    sample = std::make_unique<ug_plugin>(entry.get());
  }
  if (entry->identifier.empty() && sample->HasRecord()) {
    modlib::ModuleProperties asked{};
    sample->Dispatch(modlib::kOpProperties, 0, 0, &asked);
    if (asked.identifier != nullptr && asked.identifier[0] != '\0') {
      entry->TakeProperties(asked, true);
    } else {
      entry->displayName = AskText(*sample, modlib::kOpDisplayName);
      entry->identifier = AskText(*sample, modlib::kOpIdentifier);
      entry->groupText = entry->identifier;
    }
  }
  if (entry->version == 0 && sample->HasRecord())
    entry->version = static_cast<std::int32_t>(sample->Dispatch(modlib::kOpVersion));

  sample->ListInterface(entry->plugs);
  // The bindings point into the sample object and its library's variables.
  for (InterfaceObject& plug : entry->plugs) {
    plug.valueBinding = nullptr;
    plug.bufferBinding = nullptr;
  }
  problem = sample->ListingProblem();
  sample.reset();
  entry->reading_.reset();
  if (!problem.empty() || entry->identifier.empty()) return nullptr;
  entry->name = entry->identifier;
  return entry;
}

}  // namespace kr
