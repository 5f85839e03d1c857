// The registrations whose plug lists are constant tables rather than the
// answer of an audio object. Their entries keep their flag word as given.
// They are placeholders until the modules' classes register these names
// with their factories (and the same tables).
#include "document/module_registry.h"

namespace {

constexpr std::uint32_t kGui = PF_GUI;
constexpr std::uint32_t kPatchValue = PF_GUI | PF_PATCH_VALUE;
constexpr std::uint32_t kPatchValueIn = PF_GUI | PF_PATCH_VALUE_IN;
constexpr std::uint32_t kHiddenPatchValueIn = PF_GUI | PF_HIDDEN | PF_PATCH_VALUE_IN;

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

const PlugDescriptor kPatchMemListIn2[] = {
    {"Name", DR_IN, DT_TEXT, "", "", kGui},
    {"Value", DR_IN, DT_ENUM, "", "", kPatchValue},
    {"List Out", DR_OUT, DT_ENUM},
};

const PlugDescriptor kPatchMemFloatIn[] = {
    {"Name", DR_IN, DT_TEXT, "", "", kGui},
    {"Value", DR_IN, DT_FLOAT, "", "", kPatchValue},
    {"Animation Position", DR_IN, DT_FLOAT, "", "", kGui},
    {"Min Value", DR_IN, DT_FLOAT, "0", "", kGui},
    {"Max Value", DR_IN, DT_FLOAT, "10", "", kGui},
    {"Value Out", DR_OUT, DT_FLOAT},
};

const PlugDescriptor kPatchMemListInB[] = {
    {"Name", DR_IN, DT_TEXT, "", "", kGui},
    {"Value", DR_IN, DT_ENUM, "", "", kPatchValueIn},
    {"List Out", DR_OUT, DT_ENUM, "", "", kGui},
};

const PlugDescriptor kPatchMemFloatOut[] = {
    {"Name", DR_IN, DT_TEXT, "", "", kGui},
    {"Value", DR_IN, DT_FLOAT, "", "", kPatchValueIn},
    {"P", DR_OUT, DT_FLOAT, "", "", kHiddenPatchValueIn},
    {"Value In", DR_IN, DT_FLOAT},  // the audio half's input
    {"Animation Position", DR_IN, DT_FLOAT, "", "", kGui},
    {"Min Value", DR_IN, DT_FLOAT, "0", "", kGui},
    {"Max Value", DR_IN, DT_FLOAT, "10", "", kGui},
};

const PlugDescriptor kPatchMemFloatOutB[] = {
    {"Name", DR_IN, DT_TEXT, "", "", kGui},
    {"Value Out", DR_OUT, DT_FLOAT, "", "", kGui},
    {"P", DR_OUT, DT_FLOAT, "", "", kHiddenPatchValueIn},
    {"Value In", DR_IN, DT_FLOAT},  // the audio half's input
    {"V", DR_IN, DT_FLOAT, "", "", kHiddenPatchValueIn},
};

const PlugDescriptor kUiAnimationScaleDb[] = {
    {"Animation Position", DR_IN, DT_FLOAT, "", "", kGui},
    {"Db", DR_OUT, DT_FLOAT, "", "", kGui},
};

const PlugDescriptor kUiFloatScaler[] = {
    {"Value In", DR_IN, DT_FLOAT, "", "", kGui},
    {"Multiply by", DR_IN, DT_FLOAT, "0.1", "", kGui},
    {"Add", DR_IN, DT_FLOAT, "", "", kGui},
    {"Value Out", DR_OUT, DT_FLOAT, "", "", kGui},
};

constexpr std::int32_t kModule = MF_STRUCTURE_VIEW;

// Audio and document classes arrive with the issues that build them:
// ug_float_to_volts, ug_volts_to_float, ug_param_enum_in2 / ui_param_enum_in2,
// ug_param_float_in2 / ui_param_float_in2, ui_param_enum_in_B,
// ug_param_float_out2 / ui_param_float_out2 and ui_param_float_out_b,
// ui_animation_scaler_db, ui_float_scaler.
const ModuleDescriptor kDescriptors[] = {
    {"FloatToVolts", 0, 0, nullptr, nullptr, kModule, kFloatToVolts},
    {"VoltsToFloat", 0, 0, nullptr, nullptr, kModule, kVoltsToFloat},
    {"PatchMemListIn2", 0, 0, nullptr, nullptr, kModule, kPatchMemListIn2},
    {"PatchMemFloatIn", 0, 0, nullptr, nullptr, kModule, kPatchMemFloatIn},
    {"PatchMemListIn_B", 0, 0, nullptr, nullptr, kModule, kPatchMemListInB},
    {"PatchMemFloatOut", 0, 0, nullptr, nullptr, kModule, kPatchMemFloatOut},
    {"PatchMemFloatOutB", 0, 0, nullptr, nullptr, kModule, kPatchMemFloatOutB},
    {"UiAnimationScaleDb", 0, 0, nullptr, nullptr, kModule, kUiAnimationScaleDb},
    {"UiFloatScaler", 0, 0, nullptr, nullptr, kModule, kUiFloatScaler},
};

bool RegisterStaticTables() {
  for (const ModuleDescriptor& d : kDescriptors) RegisterPlaceholderModule(std::make_unique<Module_Info>(d));
  return true;
}

[[maybe_unused]] const bool registered = RegisterStaticTables();

}  // namespace
