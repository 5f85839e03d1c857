// The patch-memory and GUI converter modules whose plug lists are constant
// tables rather than the answer of an audio object. Their entries keep their
// flag word as given. They are placeholders until the modules' classes
// register these names with their factories (and the same tables).
#include "modules/families.h"

#include <memory>

#include "modules/patchmem/patch_value_out.h"
#include "modules/patchmem/patch_value_relay.h"
#include "modules/patchmem/plug_flags.h"
#include "registry/module_registry.h"

namespace kr {

using namespace patchmem_plugs;

namespace {

const PlugDescriptor kPatchMemListInB[] = {
    {.name = "Name", .type = DT_TEXT, .flags = kGui},
    {.name = "Value", .type = DT_ENUM, .flags = kPatchValueIn},
    {.name = "List Out", .direction = DR_OUT, .type = DT_ENUM, .flags = kGui},
};

const PlugDescriptor kUiAnimationScaleDb[] = {
    {.name = "Animation Position", .type = DT_FLOAT, .flags = kGui},
    {.name = "Db", .direction = DR_OUT, .type = DT_FLOAT, .flags = kGui},
};

const PlugDescriptor kUiFloatScaler[] = {
    {.name = "Value In", .type = DT_FLOAT, .flags = kGui},
    {.name = "Multiply by", .type = DT_FLOAT, .defaultText = "0.1", .flags = kGui},
    {.name = "Add", .type = DT_FLOAT, .flags = kGui},
    {.name = "Value Out", .direction = DR_OUT, .type = DT_FLOAT, .flags = kGui},
};

constexpr std::int32_t kModule = MF_STRUCTURE_VIEW;

// Audio and document classes arrive with the issues that build them:
// ui_param_enum_in_B,
// ui_animation_scaler_db, ui_float_scaler.
const ModuleDescriptor kDescriptors[] = {
    {"PatchMemListIn_B", 0, 0, nullptr, nullptr, kModule, kPatchMemListInB},
    {"UiAnimationScaleDb", 0, 0, nullptr, nullptr, kModule, kUiAnimationScaleDb},
    {"UiFloatScaler", 0, 0, nullptr, nullptr, kModule, kUiFloatScaler},
};

}  // namespace

namespace modules {

void RegisterPatchMemoryModules(ModuleRegistry& registry) {
  // The modules that hold one patch value each and pass it to the audio side.
  const ModuleDescriptor relays[] = {
      {"PatchMemFloatIn", 0, 0, nullptr, AudioFactoryFor<ug_param_float_in2>, MF_STRUCTURE_VIEW, PatchMemFloatInPlugs()},
      {"PatchMemListIn2", 0, 0, nullptr, AudioFactoryFor<ug_param_enum_in2>, MF_STRUCTURE_VIEW, PatchMemListIn2Plugs()},
      {"Patch Mem - Text in", 0, 0, nullptr, AudioFactoryFor<ug_param_text_in>, MF_STRUCTURE_VIEW,
       PatchMemTextInPlugs()},
      {"PatchMemFloatOut", 0, 0, nullptr, AudioFactoryFor<ug_param_float_out2_position>, MF_STRUCTURE_VIEW,
       PatchMemFloatOutPlugs()},
      {"PatchMemFloatOutB", 0, 0, nullptr, AudioFactoryFor<ug_param_float_out2_link>, MF_STRUCTURE_VIEW,
       PatchMemFloatOutBPlugs()},
  };
  for (const ModuleDescriptor& d : relays) registry.Register(d);
  for (const ModuleDescriptor& d : kDescriptors) registry.RegisterPlaceholder(std::make_unique<Module_Info>(d));
}

}  // namespace modules

}  // namespace kr
