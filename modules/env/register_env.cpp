// Envelopes and the VCA: the family's registrations. "Multistage Env" is
// stored as its panel control, which holds the drawn shape; the document side
// knows that class (document/container.cpp) and hands the shape over.
#include "modules/families.h"

#include <memory>

#include "modules/env/adsr.h"
#include "modules/env/env_8_stage.h"
#include "modules/env/envelope_ms.h"
#include "modules/env/vca.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterEnvelopeModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("ADSR", "Envelopes", 0, 0, nullptr, AudioFactoryFor<ug_adsr>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("8 Stage Env", "Envelopes", 0, 0, nullptr, AudioFactoryFor<ug_8_stage>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Multistage Env", "Envelopes", 0, 0, nullptr, AudioFactoryFor<ug_envelope_ms>, MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
  registry.Register(std::make_unique<Module_Info>("VCA", "Modifiers", 0, 0, nullptr, AudioFactoryFor<ug_vca>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
