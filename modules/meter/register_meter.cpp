// The audio halves of the panel meters: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/meter/meters.h"
#include "modules/meter/param_level_out.h"
#include "registry/module_registry.h"

namespace {

template <class T>
std::unique_ptr<Module_Info> Entry(const char* name) {
  return std::make_unique<Module_Info>(name, "", 0, 0, nullptr, AudioFactoryFor<T>,
                                       MF_STRUCTURE_VIEW | MF_PANEL_VIEW);
}

}  // namespace

namespace kr::modules {

void RegisterMeterModules(ModuleRegistry& registry) {
  registry.Register(Entry<ug_led>("LED Indicator"));
  registry.Register(Entry<ug_peak_meter>("Peak Meter"));
  registry.Register(Entry<ug_volt_meter>("Volt Meter"));
  registry.Register(Entry<ug_param_float_out>("Patch Parameter - Level Out"));
}

}  // namespace kr::modules
