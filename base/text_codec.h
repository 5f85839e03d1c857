// Texts live in memory as UTF-8. Documents hold single-byte texts in the
// Windows-1252 character set, or UTF-16LE texts; both are turned into UTF-8
// on reading. The writer stores pure ASCII as single bytes and anything else
// as UTF-16, so every text survives a round trip unchanged.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kr {

std::string Windows1252ToUtf8(std::span<const std::uint8_t> bytes);
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);  // 2 bytes per unit
std::u16string Utf8ToUtf16(std::string_view text);                // bad bytes become U+FFFD
bool IsAscii(std::string_view text);

}  // namespace kr
