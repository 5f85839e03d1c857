// Adds a named section of bytes to a copy of an ELF file (the Linux form of
// a plug-in's stored resource). The new data, an extended section-name table
// and a new section header table go at the end of the file; what the loader
// maps is not touched.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "formats/image/image_result.h"

namespace kr::packaging {

// A section of that name already present is replaced (pointed at the new
// bytes) instead of added twice.
ImageResult AddElfSection(std::span<const std::uint8_t> elfFile, std::string_view sectionName,
                          std::span<const std::uint8_t> contents);

}  // namespace kr::packaging
