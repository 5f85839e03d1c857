// Oscillators: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/osc/oscillator.h"
#include "modules/osc/oscillator_pd.h"
#include "modules/osc/test_tone.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterOscillatorModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("Oscillator", "Waveform", 0, 0, nullptr, AudioFactoryFor<ug_oscillator2>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Phase Dist Osc", "Waveform", 0, 0, nullptr, AudioFactoryFor<ug_oscillator_pd>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("1 KHz Tone", "Waveform", 0, 0, nullptr, AudioFactoryFor<ug_test_tone>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
