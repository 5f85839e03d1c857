// The tags of the archive stream that mark objects and classes.
#pragma once

#include <cstdint>

namespace kr {

namespace archive_tags {

inline constexpr std::uint16_t kBigObjectTag = 0x7FFF;  // a 32-bit tag follows
inline constexpr std::uint16_t kNewClassTag = 0xFFFF;   // a class description follows
inline constexpr std::uint16_t kClassTag = 0x8000;      // a 16-bit reference to a known class
inline constexpr std::uint32_t kBigClassTag = 0x80000000u;

}  // namespace archive_tags

}  // namespace kr
