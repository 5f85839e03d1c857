// Adds a resource section to a copy of a PE file (the Windows form of a
// plug-in's stored resource): one resource with a named type, a numeric id
// and the neutral language.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "formats/image/image_result.h"

namespace kr::packaging {

// Refuses, with the reason, a file that already has resources (merging into
// an existing tree is not supported), a signed file, and a file whose headers
// have no room for one more section header. The type name must be plain
// ASCII; Windows looks types up in upper case, so it is stored that way.
ImageResult AddPeResource(std::span<const std::uint8_t> peFile, std::string_view type, int id,
                          std::span<const std::uint8_t> contents);

// The PE checksum of a whole file (the checksum field itself counts as zero).
std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::uint64_t checksumFieldOffset);

}  // namespace kr::packaging
