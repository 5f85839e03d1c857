// The analysers and monitors: the family's registrations. Both are stored
// as their panel controls (a spectrum view, a response view, a text
// console).
#include "modules/families.h"

#include "modules/analyse/freq_analyser.h"
#include "modules/analyse/freq_response.h"
#include "modules/analyse/monitor.h"
#include "modules/module_entry.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterAnalyserModules(ModuleRegistry& registry) {
  constexpr std::int32_t kPanel = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
  registry.Register(Entry<ug_monitor>("Monitor", kPanel));
  registry.Register(Entry<ug_freq_anal>("Freq Analyser", kPanel));
  registry.Register(Entry<UFreqResp>("Freq Response Test", kPanel));
}

}  // namespace kr::modules
