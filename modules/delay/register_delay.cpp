// Delay lines: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/delay/feedback_delay.h"
#include "modules/delay/ug_delay.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterDelayModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("Delay", "", 0, 0, nullptr, AudioFactoryFor<ug_delay>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Delay2", "", 0, 0, nullptr, AudioFactoryFor<ug_delay2>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Feedback Delay", "", 0, 0, nullptr,
                                                  AudioFactoryFor<ug_feedback_delay>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
