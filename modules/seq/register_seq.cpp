// Sequencers and patch breeding: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/module_entry.h"
#include "modules/seq/genprog.h"
#include "modules/seq/step_sequencer.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterSequencerModules(ModuleRegistry& registry) {
  constexpr std::int32_t kViews = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
  registry.Register(Entry<ug_step_sequencer>("Step Sequencer", kViews));
  registry.Register(Entry<ug_step_sequencer>("Drum Sequencer", kViews));
  registry.Register(Entry<ug_genprog>("GenProg", kViews));
  registry.Register(Entry<ug_genprog_trigger>("GenProg Trigger"));
}

}  // namespace kr::modules
