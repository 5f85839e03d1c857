// Finds a resource in a PE file by a named type and a numeric id, the way
// the stored document is kept in a Windows plug-in. Portable: used by tests
// and by tools on any system.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kr::packaging {

// In a resource directory entry: the name is a string (else an id), or the
// target is a subdirectory (else data).
inline constexpr std::uint32_t kResourceHighBit = 0x80000000u;

// The bytes of the first language of resource type/id (type compared
// without regard to case, as Windows does); nothing when there is none or
// the resource tree points outside the file.
std::optional<std::vector<std::uint8_t>> ReadPeResource(std::span<const std::uint8_t> peFile, std::string_view type,
                                                         int id);

}  // namespace kr::packaging
