// The modules that meet the host: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/io/ug_midi_in.h"
#include "modules/io/ug_vst_in.h"
#include "modules/io/ug_vst_out.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterHostIoModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("VST Input", "", 0, 0, nullptr, AudioFactoryFor<ug_vst_in>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("VST Output", "", 0, 0, nullptr, AudioFactoryFor<ug_vst_out>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("MIDI In", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_in>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
