// Adders, voice monitors and switches: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/mix/ug_adder.h"
#include "modules/mix/ug_adder_midi.h"
#include "modules/mix/ug_switch.h"
#include "modules/mix/voice_monitor.h"
#include "registry/module_registry.h"

namespace {

// Plug lists of the converters between panel values and voltages; the audio
// classes come later, so their entries stay placeholders until then.
const PlugDescriptor kFloatToVolts[] = {
    {"Smoothing", DR_IN, DT_ENUM, "2", "None,Fast (4 samp),Smooth (30ms)"},
    {"Float In", DR_IN, DT_FLOAT},
    {"Volts Out", DR_OUT, DT_AUDIO},
};

const PlugDescriptor kVoltsToFloat[] = {
    {"Volts In", DR_IN, DT_AUDIO, "", "", PF_SIGNAL},
    {"Response", DR_IN, DT_ENUM, "4",
     "dB VU,dB PPM,dB Peak,dB HeadRoom, Volts DC (Fast), Volts DC Average, Volts RMS"},
    {"Update Rate", DR_IN, DT_ENUM, "10", "1 Hz=1,5 Hz=5,10 Hz=10,20 Hz=20,40 Hz=40"},
    {"Float Out", DR_OUT, DT_FLOAT},
};

const ModuleDescriptor kConverters[] = {
    {"FloatToVolts", 0, 0, nullptr, nullptr, MF_STRUCTURE_VIEW, kFloatToVolts},
    {"VoltsToFloat", 0, 0, nullptr, nullptr, MF_STRUCTURE_VIEW, kVoltsToFloat},
};

}  // namespace

namespace kr::modules {

void RegisterMixModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("Float Adder", "", 0, 0, nullptr, AudioFactoryFor<ug_adder>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("MIDI Adder2", "", 0, 0, nullptr, AudioFactoryFor<ug_adder_midi>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("VoiceMonitor", "", 0, 0, nullptr, AudioFactoryFor<ug_voice_monitor>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Voice Combiner", "", 0, 0, nullptr, AudioFactoryFor<ug_voice_combiner>, MF_STRUCTURE_VIEW));
  for (const ModuleDescriptor& d : kConverters) registry.RegisterPlaceholder(std::make_unique<Module_Info>(d));
  registry.Register(std::make_unique<Module_Info>("Switch (1->Many)", "", 0, 0, nullptr, AudioFactoryFor<ug_switch>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
