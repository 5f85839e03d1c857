// The panel objects that show one widget with plugs of its own: none has an
// audio object, and their plugs come from their widget's features (the
// document side makes them by name), so the entries list none.
#include "modules/families.h"

#include "registry/module_registry.h"

namespace kr::modules {

void RegisterPanelWidgetObjects(ModuleRegistry& registry) {
  constexpr std::int32_t kPanelObject = MF_STRUCTURE_VIEW | MF_PANEL_VIEW | MF_LISTED_BY_CLASS;
  for (const char* name : {"Image", "Joystick Image", "Tinted Image", "List Entry2", "Text Entry2"})
    registry.Register(ModuleDescriptor{name, 0, 0, nullptr, nullptr, kPanelObject, {}});
}

}  // namespace kr::modules
