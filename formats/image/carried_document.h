// Reading the stored document out of a plug-in image of either format, on
// any system (for checks and for tools that inspect an exported plug-in).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kr::packaging {

// The ELF section name of the stored document.
std::string CarriedDocumentSectionName();

// The stored document a plug-in image carries, still scrambled; nothing when
// there is none or the image is neither ELF nor PE.
std::optional<std::vector<std::uint8_t>> ReadCarriedDocument(std::span<const std::uint8_t> pluginImage);

}  // namespace kr::packaging
