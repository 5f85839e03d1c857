#include "modules/builtin_modules.h"

#include <memory>
#include <mutex>
#include <typeinfo>

#include "engine/samp_block.h"
#include "engine/ug_container.h"
#include "modules/families.h"
#include "registry/module_registry.h"

namespace kr {

void RegisterBuiltinModules() {
  static std::once_flag once;
  std::call_once(once, [] {
    ModuleRegistry& registry = ModuleRegistry::Get();
    // The engine's own plug data a module may bind besides the value types.
    InterfaceObject::AcceptBoundType(typeid(USampBlock));
    // Containers are the engine's own audio objects; the plug list comes
    // from the class, the flags are the catalogue's.
    registry.Register(std::make_unique<Module_Info>("Container", "", 0, 0, nullptr, AudioFactoryFor<ug_container>,
                                                    MF_CONTAINER_1 | MF_CONTAINER_2 | MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
    modules::RegisterOscillatorModules(registry);
    modules::RegisterEnvelopeModules(registry);
    modules::RegisterFilterModules(registry);
    modules::RegisterShaperModules(registry);
    modules::RegisterMidiModules(registry);
    modules::RegisterMixModules(registry);
    modules::RegisterDelayModules(registry);
    modules::RegisterMathModules(registry);
    modules::RegisterLogicModules(registry);
    modules::RegisterMeterModules(registry);
    modules::RegisterPatchMemoryModules(registry);
    modules::RegisterPanelWidgetObjects(registry);
    modules::RegisterHostIoModules(registry);
    modules::RegisterLegacyModules(registry);
    modules::RegisterSamplerModules(registry);
    modules::RegisterSoundfontModules(registry);
    modules::RegisterMidiFileModules(registry);
    modules::RegisterSequencerModules(registry);
    modules::RegisterAnalyserModules(registry);
    modules::RegisterPanelGroupModules(registry);
  });
}

}  // namespace kr
