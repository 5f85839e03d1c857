// JSON text parsed with the line of every value kept, so that faults found
// after parsing can still name their line.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace kr {

namespace patchtext {

struct JsonWithLines {
  nlohmann::json value;
  // JSON pointer ("/root/modules/0/module") -> line of the value's first character.
  std::map<std::string, int, std::less<>> lines;

  int LineOf(std::string_view pointer) const;
};

// Throws PatchTextError with the line of a syntax fault.
JsonWithLines ParseJsonWithLines(std::string_view text);

}  // namespace patchtext

}  // namespace kr
