// Envelopes and the VCA: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "document/controls.h"
#include "modules/env/adsr.h"
#include "modules/env/env_8_stage.h"
#include "modules/env/envelope_ms.h"
#include "modules/env/vca.h"
#include "registry/module_registry.h"

namespace {

// "Multistage Env" is stored as its panel control, which holds the drawn shape.
std::unique_ptr<CUG> MakeEnvelopeControl(Module_Info* entry) {
  auto control = std::make_unique<CControl>(control_classes::kEnvEdit);
  control->SetEntry(entry);
  if (entry != nullptr) control->SetTitle(entry->name);
  control->CreatePlugs();
  return control;
}

}  // namespace

namespace kr::modules {

void RegisterEnvelopeModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("ADSR", "Envelopes", 0, 0, nullptr, AudioFactoryFor<ug_adsr>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("8 Stage Env", "Envelopes", 0, 0, nullptr, AudioFactoryFor<ug_8_stage>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Multistage Env", "Envelopes", 0, 0, &MakeEnvelopeControl, AudioFactoryFor<ug_envelope_ms>, MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
  registry.Register(std::make_unique<Module_Info>("VCA", "Modifiers", 0, 0, nullptr, AudioFactoryFor<ug_vca>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
