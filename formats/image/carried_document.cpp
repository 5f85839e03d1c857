#include "formats/image/carried_document.h"

#include "formats/image/elf_image.h"
#include "formats/image/pe_image.h"
#include "formats/image/pe_resource_reader.h"
#include "formats/image/stored_document.h"
#include "platform/platform.h"

namespace kr::packaging {

std::string CarriedDocumentSectionName() {
  return platform::ResourceSectionName(kStoredDocumentType, kStoredDocumentId);
}

std::optional<std::vector<std::uint8_t>> ReadCarriedDocument(std::span<const std::uint8_t> pluginImage) {
  if (LooksLikeElf(pluginImage)) {
    std::string error;
    const auto elf = ParseElfImage(pluginImage, error);
    const ElfSection* section = elf ? elf->Find(CarriedDocumentSectionName()) : nullptr;
    if (section == nullptr) return std::nullopt;
    if (!section->OccupiesFile()) return std::vector<std::uint8_t>{};
    const auto bytes = pluginImage.subspan(static_cast<std::size_t>(section->offset),
                                           static_cast<std::size_t>(section->size));
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  }
  if (LooksLikePe(pluginImage)) return ReadPeResource(pluginImage, kStoredDocumentType, kStoredDocumentId);
  return std::nullopt;
}

}  // namespace kr::packaging
