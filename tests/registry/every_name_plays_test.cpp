// Every name of the stored module family makes a module that processes:
// no placeholder is left. The names below have no audio object, each for its
// reason, but are no placeholders either.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ug_base.h"
#include "registry/module_catalogue.h"
#include "registry/module_registry.h"

namespace krtest {
using namespace kr;

namespace {

// Names that have no audio object at all: the document's wire and group
// objects and the panel-only objects.
const std::set<std::string_view> kNoAudioObject = {
    "",  // legacy position 10, empty
    "Line", "Group", "Panel Group", "Control Group", "Image", "Joystick Image", "Tinted Image", "List Entry2",
    "Text Entry2", "Sub Panel", "Paged Group",
    // Stands in for a module whose library is missing: plays nothing.
    "Plugin",
    // The GUI-side modules: they compute on the panel's side only.
    "Image to Frame", "Bool Splitter", "Bools to List", "List To Bools", "Float To Bool", "Increment", "Increment2",
    "Int to List", "Spring", "System Command2", "Text To Float", "UiAnimationScaleDb", "UiFloatScaler",
    "PatchMemListIn_B",
};

// The family: the catalogued names and the built-in names still standing
// as placeholders (the GUI-side modules are listed apart from the catalogue).
std::vector<std::string> FamilyNames() {
  std::set<std::string> names;
  for (auto rows : {LegacyCatalogue(), NamedCatalogue(), PanelCatalogue()})
    for (const CatalogueRow& row : rows) names.emplace(row.name);
  for (const auto& [name, entry] : ModuleRegistry::Get().Entries())
    if (entry->placeholder) names.insert(name);
  return {names.begin(), names.end()};
}

TEST(EveryModuleName, MakesAModuleWithProcessing) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  std::vector<std::string> names = FamilyNames();
  ASSERT_GT(names.size(), 130u);
  int walked = 0;
  for (const std::string& name : names) {
    Module_Info* entry = registry.FindByName(name);
    if (name.empty()) continue;
    ASSERT_NE(entry, nullptr) << name;
    // Every name has its document class, those without audio objects too.
    EXPECT_FALSE(entry->placeholder) << "\"" << name << "\" is still a placeholder";
    if (kNoAudioObject.contains(name)) continue;
    ++walked;
    std::unique_ptr<ug_base> module = entry->MakeAudioObject();
    EXPECT_NE(module, nullptr) << "\"" << name << "\" makes no audio object";
    if (module) {
      EXPECT_NE(module->CreateSame(), nullptr) << name;
    }
  }
  EXPECT_GT(walked, 100);
}

TEST(EveryModuleName, ExemptNamesAreInTheFamily) {
  // An exemption for a name that no longer exists would hide nothing.
  const std::vector<std::string> names = FamilyNames();
  const std::set<std::string_view> all(names.begin(), names.end());
  for (std::string_view name : kNoAudioObject)
    EXPECT_TRUE(all.contains(name) || ModuleRegistry::Get().FindByName(name)) << name;
  for (std::string_view name : kNoAudioObject) {
    if (name.empty()) continue;
    Module_Info* entry = ModuleRegistry::Get().FindByName(name);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->MakeAudioObject(), nullptr) << "\"" << name << "\" plays now: take it off the exempt list";
  }
}

}  // namespace

}  // namespace krtest
