// The patch kestrune render plays when none is given:
// examples/default-subtractive.json, compiled into the program.
#pragma once

#include <string_view>

namespace kr {

extern const std::string_view kDefaultPatchJson;

}  // namespace kr
