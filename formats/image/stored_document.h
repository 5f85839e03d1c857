// Finding the bytes of the patch a plug-in file carries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kr {

// The stored resource that carries the scrambled document.
inline constexpr std::string_view kStoredDocumentType = "KR1";
inline constexpr int kStoredDocumentId = 165;

// The data file looked for when the plug-in has no stored resource: the
// plug-in path with its extension replaced by ".dat".
std::string DataFilePathFor(std::string_view pluginPath);

// The document archive bytes for the plug-in at pluginPath: the stored
// resource, unscrambled, or else the data file beside it as it is. When
// neither exists the warning "<name>: Can't find plugin data file. (<data
// path>)" is shown and nothing is returned.
std::optional<std::vector<std::uint8_t>> ReadStoredDocument(const std::string& pluginPath);

}  // namespace kr
