// The panel-only objects that arrange other objects: group boxes, tab boxes,
// sub-panels and control groups; and the structure's own objects, the wire
// ("Line") and the oldest documents' "Group". None has an audio object or
// plugs listed here: the document side makes each one's object (and a tab
// box's "Page" and "Page Names" plugs) by name. Flags as the catalogue gives
// them; the registry keeps the legacy numbers of "Line" and "Group".
#include "modules/families.h"

#include "registry/module_registry.h"

namespace kr::modules {

namespace {

constexpr std::int32_t kPanelOnly = MF_STRUCTURE_VIEW | MF_PANEL_VIEW | MF_LISTED_BY_CLASS;

const ModuleDescriptor kPanelGroups[] = {
    {"Panel Group", 0, 0, nullptr, nullptr, MF_PANEL_VIEW | MF_LISTED_BY_CLASS, {}},
    {"Paged Group", 0, 0, nullptr, nullptr, kPanelOnly, {}},
    {"Sub Panel", 0, 0, nullptr, nullptr, kPanelOnly, {}},
    {"Control Group", 0, 0, nullptr, nullptr, kPanelOnly, {}},
};

const ModuleDescriptor kStructureObjects[] = {
    {"Line", 0, 0, nullptr, nullptr, MF_LISTED_BY_CLASS, {}},
    {"Group", 0, 0, nullptr, nullptr, MF_STRUCTURE_VIEW | MF_LISTED_BY_CLASS, {}},
};

}  // namespace

void RegisterPanelGroupModules(ModuleRegistry& registry) {
  for (const ModuleDescriptor& d : kPanelGroups) registry.Register(d);
  for (const ModuleDescriptor& d : kStructureObjects) registry.Register(d);
}

}  // namespace kr::modules
