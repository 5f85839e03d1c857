// The AEffect unique id made from the document's plug-in id text.
#pragma once

#include <cstdint>
#include <string_view>

namespace kr {

// The text padded with four spaces; its first four characters, each taken as
// a signed 8-bit value, give ((c0*256 + c1)*256 + c2)*256 + c3.
std::int32_t PackPluginId(std::string_view text);

// The four characters of a unique id, high byte first.
void UnpackPluginId(std::int32_t id, char out[5]);

}  // namespace kr
