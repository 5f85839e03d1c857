// Delay lines: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/delay/ug_delay.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterDelayModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("Delay", "", 0, 0, nullptr, AudioFactoryFor<ug_delay>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
