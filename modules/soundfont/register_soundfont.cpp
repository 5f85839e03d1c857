// SoundFont playing: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "document/controls.h"
#include "modules/soundfont/osc_sf.h"
#include "modules/soundfont/sample_player2.h"
#include "registry/module_registry.h"

namespace {

// The SoundFont modules are stored as their panel controls, whose text is
// the file they play (the graph builder hands it to the audio object).
template <const RuntimeClass& Class>
std::unique_ptr<CUG> MakeFileControl(Module_Info* entry) {
  auto control = std::make_unique<CControl>(Class);
  control->SetEntry(entry);
  if (entry != nullptr) control->SetTitle(entry->name);
  control->CreatePlugs();
  return control;
}

}  // namespace

namespace kr::modules {

void RegisterSoundfontModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("Soundfont Oscillator", "", 0, 0, &MakeFileControl<control_classes::kOscSf>, AudioFactoryFor<ug_osc_sf>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Soundfont Player", "", 0, 0, &MakeFileControl<control_classes::kSamplePlay2>, AudioFactoryFor<ug_sample_player2>, MF_STRUCTURE_VIEW | MF_VOICE_SOURCE | MF_NOTE_SOURCE | MF_PANEL_VIEW));
}

}  // namespace kr::modules
