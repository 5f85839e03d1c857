// Logic, counting, sampling and triggering: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/logic/counters.h"
#include "modules/logic/logic_gates.h"
#include "modules/logic/monostable.h"
#include "modules/logic/random.h"
#include "modules/logic/sample_hold.h"
#include "modules/logic/system_command.h"
#include "modules/logic/voltage_to_enum.h"
#include "modules/module_entry.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterLogicModules(ModuleRegistry& registry) {
  registry.Register(Entry<ug_logic_AND>("AND Gate"));
  registry.Register(Entry<ug_logic_OR>("OR Gate"));
  registry.Register(Entry<ug_logic_XOR>("XOR Gate"));
  registry.Register(Entry<ug_logic_NAND>("NAND Gate"));
  registry.Register(Entry<ug_logic_NOR>("NOR Gate"));
  registry.Register(Entry<ug_logic_not>("NOT Gate"));
  registry.Register(Entry<ug_logic_counter>("Step Counter"));
  registry.Register(Entry<ug_logic_counter2>("Step Counter2"));
  registry.Register(Entry<ug_logic_decade>("Decade Counter"));
  registry.Register(Entry<ug_logic_Bin_Count>("Binary Counter"));
  registry.Register(Entry<ug_logic_shift>("Shift Register"));
  registry.Register(Entry<ug_monostable>("Monostable"));
  registry.Register(Entry<ug_sample_hold>("Sample and Hold"));
  registry.Register(Entry<ug_random>("random"));
  registry.Register(Entry<ug_voltage_to_enum>("Voltage To List"));
  registry.Register(Entry<ug_system_command>("OS Command"));
}

}  // namespace kr::modules
