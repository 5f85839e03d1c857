// The registry as text: every entry by name with its legacy number, flags and
// plug list. `kestrune modules` prints it; a golden copy in the tests holds
// the stored names, numbers and plug lists still.
#pragma once

#include <string>

namespace kr {

class ModuleRegistry;

std::string DumpRegistry(const ModuleRegistry& registry);

}  // namespace kr
