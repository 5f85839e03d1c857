// Wave file playing and recording: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/sampler/wave_in.h"
#include "modules/sampler/wave_out.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterSamplerModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("Audio In", "", 0, 0, nullptr, AudioFactoryFor<ug_wave_in>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Wave Player", "", 0, 0, nullptr, AudioFactoryFor<ug_wave_player>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Audio Out", "", 0, 0, nullptr, AudioFactoryFor<ug_wave_out>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Wave Recorder", "", 0, 0, nullptr, AudioFactoryFor<ug_wave_recorder>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
