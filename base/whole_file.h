// Reading and writing a file in one piece, through the standard library only.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kr {

// Nothing when the file cannot be opened or read completely.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

// Writes beside the target and renames over it, so readers never see half a
// file. False when anything fails (the target is then left as it was).
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace kr
