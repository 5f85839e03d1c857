// A file compiled into the program (fonts, the built-in skin): its name and
// its bytes, which live as long as the program.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kr {

struct EmbeddedBlob {
  std::string_view name;
  std::span<const std::uint8_t> bytes;
};

}  // namespace kr
