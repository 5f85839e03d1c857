// Filters and the denormal utilities: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/filter/denormal.h"
#include "modules/filter/filter_1pole.h"
#include "modules/filter/filter_allpass.h"
#include "modules/filter/filter_eq.h"
#include "modules/filter/filter_ladder.h"
#include "modules/filter/filter_sv.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterFilterModules(ModuleRegistry& registry) {
  constexpr std::int32_t kModule = MF_STRUCTURE_VIEW;
  constexpr std::int32_t kObsolete = MF_STRUCTURE_VIEW | MF_OBSOLETE;
  auto add = [&registry](const char* name, AudioFactory factory, std::int32_t flags) {
    const char* group = (flags & MF_OBSOLETE) != 0 ? "" : "Filters";
    registry.Register(std::make_unique<Module_Info>(name, group, 0, 0, nullptr, factory, flags));
  };
  add("SV Filter", AudioFactoryFor<ug_filter_sv>, kModule);
  add("Moog Filter", AudioFactoryFor<ug_filter_biquad>, kModule);
  add("Filter2 obsolete", AudioFactoryFor<ug_filter_biquad>, kObsolete);
  add("Filter obs", AudioFactoryFor<ug_filter_biquad>, kObsolete);
  add("1 Pole LP", AudioFactoryFor<ug_filter_1pole>, kModule);
  add("1 Pole HP", AudioFactoryFor<ug_filter_1pole_hp>, kModule);
  add("All Pass", AudioFactoryFor<ug_filter_allpass>, kModule);
  add("Parametric EQ", AudioFactoryFor<ug_filter_eq_parametric>, kModule);
  add("Denormal Detector", AudioFactoryFor<ug_denormal_detect>, kModule);
  add("Denormal Cleaner", AudioFactoryFor<ug_denormal_stop>, kModule);
}

}  // namespace kr::modules
