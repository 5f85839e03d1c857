// Arithmetic and shaping of voltages: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/math/arithmetic_modules.h"
#include "modules/math/single_input.h"
#include "modules/module_entry.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterMathModules(ModuleRegistry& registry) {
  registry.Register(Entry<ug_multiplier>("Level Adj"));
  registry.Register(Entry<ug_multiplier>("Ring Modulator"));
  registry.Register(Entry<ug_math_mult>("Multiply"));
  registry.Register(Entry<ug_math_div>("Divide"));
  registry.Register(Entry<ug_math_sub>("Subtract"));
  registry.Register(Entry<ug_comparator>("Comparator"));
  registry.Register(Entry<ug_clipper>("Clipper"));
  registry.Register(Entry<ug_quantiser>("Quantiser"));
  registry.Register(Entry<ug_inverter>("Inverter"));
  registry.Register(Entry<ug_rectifier>("Rectifier"));
  registry.Register(Entry<ug_math_ceil>("Ceil"));
  registry.Register(Entry<ug_math_floor>("Floor"));
  registry.Register(Entry<ug_peak_det>("Peak Follower"));
}

}  // namespace kr::modules
