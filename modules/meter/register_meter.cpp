// The audio halves of the panel meters: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/meter/meters.h"
#include "modules/meter/param_level_out.h"
#include "modules/module_entry.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterMeterModules(ModuleRegistry& registry) {
  constexpr std::int32_t kViews = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
  registry.Register(Entry<ug_led>("LED Indicator", kViews));
  registry.Register(Entry<ug_peak_meter>("Peak Meter", kViews));
  registry.Register(Entry<ug_volt_meter>("Volt Meter", kViews));
  registry.Register(Entry<ug_param_float_out>("Patch Parameter - Level Out", kViews));
}

}  // namespace kr::modules
