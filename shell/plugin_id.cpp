#include "shell/plugin_id.h"

#include <string>

namespace kr {

std::int32_t PackPluginId(std::string_view text) {
  const std::string padded = std::string(text) + "    ";
  std::int64_t id = 0;
  for (int i = 0; i < 4; ++i) id = id * 256 + static_cast<std::int8_t>(padded[static_cast<std::size_t>(i)]);
  // Negative characters can push the sum past 32 bits; the id keeps the low 32.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(id)));
}

void UnpackPluginId(std::int32_t id, char out[5]) {
  const auto bits = static_cast<std::uint32_t>(id);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((bits >> (24 - 8 * i)) & 0xFF);
  out[4] = '\0';
}

}  // namespace kr
