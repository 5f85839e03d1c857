// Obsolete module names whose documents still play: each stands on the
// audio class that replaced it.
#include "modules/families.h"

#include <memory>

#include "modules/delay/ug_delay.h"
#include "modules/mix/ug_switch.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterLegacyModules(ModuleRegistry& registry) {
  constexpr std::int32_t kObsolete = MF_STRUCTURE_VIEW | MF_OBSOLETE;
  registry.Register(std::make_unique<Module_Info>("MIDI Adder(obsolete)", "", 0, 0, nullptr, AudioFactoryFor<ug_delay>,
                                                  kObsolete));
  registry.Register(std::make_unique<Module_Info>("Z-Filter obsolete", "", 0, 0, nullptr, AudioFactoryFor<ug_switch>,
                                                  kObsolete));
}

}  // namespace kr::modules
