// Wave shapers: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/module_entry.h"
#include "modules/shaper/thrasher.h"
#include "modules/shaper/wave_shaper.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterShaperModules(ModuleRegistry& registry) {
  constexpr std::int32_t kControl = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
  registry.Register(std::make_unique<Module_Info>("WaveShaper", "Modifiers", 0, 0, nullptr,
                                                  AudioFactoryFor<ug_wave_shaper>, kControl));
  registry.Register(std::make_unique<Module_Info>("WaveShaper2", "Modifiers", 0, 0, nullptr,
                                                  AudioFactoryFor<ug_wave_shaper2>, kControl));
  registry.Register(Entry<UThrasher>("Thrasher"));
}

}  // namespace kr::modules
