// Adders, voice monitors, panners, faders, switches, fixed values and the
// converters between panel values and voltages: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/mix/cv_switch.h"
#include "modules/mix/fixed_values.h"
#include "modules/mix/float_volts.h"
#include "modules/mix/pan.h"
#include "modules/mix/ug_adder.h"
#include "modules/mix/ug_adder_midi.h"
#include "modules/mix/ug_switch.h"
#include "modules/mix/voice_monitor.h"
#include "modules/module_entry.h"
#include "registry/module_registry.h"

namespace kr {

namespace {

// The converters carry their plug lists as constant tables (hints empty).
const PlugDescriptor kFloatToVolts[] = {
    {.name = "Smoothing", .type = DT_ENUM, .defaultText = "2", .list = "None,Fast (4 samp),Smooth (30ms)"},
    {.name = "Float In", .type = DT_FLOAT},
    {.name = "Volts Out", .direction = DR_OUT},
};

const PlugDescriptor kVoltsToFloat[] = {
    {.name = "Volts In", .flags = PF_SIGNAL},
    {.name = "Response",
     .type = DT_ENUM,
     .defaultText = "4",
     .list = "dB VU,dB PPM,dB Peak,dB HeadRoom, Volts DC (Fast), Volts DC Average, Volts RMS"},
    {.name = "Update Rate", .type = DT_ENUM, .defaultText = "10", .list = "1 Hz=1,5 Hz=5,10 Hz=10,20 Hz=20,40 Hz=40"},
    {.name = "Float Out", .direction = DR_OUT, .type = DT_FLOAT},
};

const ModuleDescriptor kConverters[] = {
    {"FloatToVolts", 0, 0, nullptr, AudioFactoryFor<ug_float_to_volts>, MF_STRUCTURE_VIEW, kFloatToVolts},
    {"VoltsToFloat", 0, 0, nullptr, AudioFactoryFor<ug_volts_to_float>, MF_STRUCTURE_VIEW, kVoltsToFloat},
};

}  // namespace

namespace modules {

void RegisterMixModules(ModuleRegistry& registry) {
  registry.Register(Entry<ug_adder>("Float Adder"));
  registry.Register(Entry<ug_adder_midi>("MIDI Adder2"));
  registry.Register(Entry<ug_voice_monitor>("VoiceMonitor"));
  registry.Register(Entry<ug_voice_combiner>("Voice Combiner"));
  for (const ModuleDescriptor& d : kConverters) registry.Register(d);
  registry.Register(Entry<ug_switch>("Switch (1->Many)"));
  registry.Register(Entry<ug_switch2>("Switch (Many->1)"));
  registry.Register(Entry<ug_obs_USwitch_v1>("Switch"));
  registry.Register(Entry<ug_obs_USwitch2_v1>("Switch2"));
  registry.Register(Entry<ug_pan>("Pan"));
  registry.Register(Entry<ug_cross_fade>("X-Mix"));
  registry.Register(Entry<ug_fixed_values>("Fixed Values"));
}

}  // namespace modules

}  // namespace kr
