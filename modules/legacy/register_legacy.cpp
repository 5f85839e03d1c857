// The legacy panel controls' audio halves, and obsolete module names whose
// documents still play: each of those stands on the audio class that
// replaced it.
#include "modules/families.h"

#include <memory>

#include "modules/delay/ug_delay.h"
#include "modules/legacy/combobox.h"
#include "modules/legacy/control_plugs_module.h"
#include "modules/legacy/push_button.h"
#include "modules/legacy/slider.h"
#include "modules/legacy/text_entry.h"
#include "modules/mix/ug_switch.h"
#include "modules/module_entry.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterLegacyModules(ModuleRegistry& registry) {
  constexpr std::int32_t kObsolete = MF_STRUCTURE_VIEW | MF_OBSOLETE;
  constexpr std::int32_t kViews = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
  registry.Register(Entry<ug_slider>("Slider", kViews));
  registry.Register(Entry<ug_combobox>("List Entry", kViews));
  registry.Register(Entry<ug_text_entry>("Text Entry", kViews));
  registry.Register(Entry<ug_obs_UPushButton>("Button", kViews));
  registry.Register(Entry<ug_control_plugs>("Control Plugs"));
  registry.Register(std::make_unique<Module_Info>("MIDI Adder(obsolete)", "", 0, 0, nullptr, AudioFactoryFor<ug_delay>,
                                                  kObsolete));
  registry.Register(std::make_unique<Module_Info>("Z-Filter obsolete", "", 0, 0, nullptr, AudioFactoryFor<ug_switch>,
                                                  kObsolete));
}

}  // namespace kr::modules
