// Every class a document may name in a class record.
#pragma once

#include <string_view>

#include "formats/archive/runtime_class.h"

namespace kr {

// Found by its stored name (exact spelling); null for any other name.
const RuntimeClass* FindRuntimeClass(std::string_view name);

}  // namespace kr
