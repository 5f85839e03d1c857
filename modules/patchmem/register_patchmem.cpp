// The patch-memory modules and the modules that compute on the GUI thread
// only. None of the latter has an audio object: their document objects are
// plain modules made from these entries, which the document side gives
// their logic by name (document/ui/). Entries keep their flag word as given.
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
// Plugs made from the module's features, not listed here.
constexpr std::int32_t kFeatureModule = MF_STRUCTURE_VIEW | MF_LISTED_BY_CLASS;

const ModuleDescriptor kDescriptors[] = {
    {"PatchMemListIn_B", 0, 0, nullptr, nullptr, kModule, kPatchMemListInB},
    {"UiAnimationScaleDb", 0, 0, nullptr, nullptr, kModule, kUiAnimationScaleDb},
    {"UiFloatScaler", 0, 0, nullptr, nullptr, kModule, kUiFloatScaler},
    {"Image to Frame", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"Bool Splitter", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"Bools to List", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"List To Bools", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"Float To Bool", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"Increment", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"Increment2", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"Int to List", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"Spring", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"System Command2", 0, 0, nullptr, nullptr, kFeatureModule, {}},
    {"Text To Float", 0, 0, nullptr, nullptr, kFeatureModule, {}},
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
  for (const ModuleDescriptor& d : kDescriptors) registry.Register(d);
}

}  // namespace modules

}  // namespace kr
