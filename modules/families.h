// The module families' registration functions, one per folder of modules/.
// RegisterBuiltinModules (modules/builtin_modules.h) calls them in order.
#pragma once

namespace kr {

class ModuleRegistry;

namespace modules {

void RegisterOscillatorModules(ModuleRegistry& registry);
void RegisterEnvelopeModules(ModuleRegistry& registry);
void RegisterFilterModules(ModuleRegistry& registry);
void RegisterShaperModules(ModuleRegistry& registry);
void RegisterMidiModules(ModuleRegistry& registry);
void RegisterMixModules(ModuleRegistry& registry);
void RegisterDelayModules(ModuleRegistry& registry);
void RegisterMathModules(ModuleRegistry& registry);
void RegisterLogicModules(ModuleRegistry& registry);
void RegisterMeterModules(ModuleRegistry& registry);
void RegisterPatchMemoryModules(ModuleRegistry& registry);
void RegisterPanelWidgetObjects(ModuleRegistry& registry);
void RegisterHostIoModules(ModuleRegistry& registry);
void RegisterLegacyModules(ModuleRegistry& registry);
void RegisterSamplerModules(ModuleRegistry& registry);
void RegisterSoundfontModules(ModuleRegistry& registry);
void RegisterMidiFileModules(ModuleRegistry& registry);
void RegisterSequencerModules(ModuleRegistry& registry);
void RegisterAnalyserModules(ModuleRegistry& registry);
void RegisterPanelGroupModules(ModuleRegistry& registry);

}  // namespace modules

}  // namespace kr
