// Small hand-made binaries and file helpers for the stored-document tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

using namespace kr;

namespace krtest {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& text);
Bytes ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes RandomBytes(std::size_t count, std::uint32_t seed);

// A minimal PE32 (wide = false) or PE32+ file: one ".text" section, 16 data
// directories, 0x1000 section and 0x200 file alignment. headerRoom is how
// many more section headers fit before the first section's data.
Bytes MinimalPe(bool wide, unsigned headerRoom = 4);

// A minimal little-endian ELF file with a null section and a section-name
// table, in either class.
Bytes MinimalElf(bool wide);

// The minimal image of this system's plug-in format (PE on Windows, ELF
// elsewhere), for tests that read it back through the system's own loader.
Bytes MinimalNativePlugin();

}  // namespace krtest
