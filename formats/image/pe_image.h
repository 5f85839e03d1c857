// The headers of a PE file (PE32 or PE32+) that reading and adding a
// resource section need.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kr::packaging {

struct PeSection {
  std::string name;  // up to 8 characters
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
};

struct PeDataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

struct PeImage {
  bool wide = false;  // PE32+
  std::uint64_t optionalHeaderOffset = 0;
  std::uint64_t sectionTableOffset = 0;
  std::uint32_t sectionAlignment = 0;
  std::uint32_t fileAlignment = 0;
  std::uint32_t sizeOfHeaders = 0;
  std::uint32_t dataDirectoryCount = 0;
  std::vector<PeSection> sections;

  // Offsets in the file of the fields the resource writer changes.
  std::uint64_t NumberOfSectionsField() const { return optionalHeaderOffset - 18; }
  std::uint64_t SizeOfInitializedDataField() const { return optionalHeaderOffset + 8; }
  std::uint64_t SizeOfImageField() const { return optionalHeaderOffset + 56; }
  std::uint64_t CheckSumField() const { return optionalHeaderOffset + 64; }
  std::uint64_t DataDirectoryField(unsigned index) const {
    return optionalHeaderOffset + (wide ? 112 : 96) + std::uint64_t{index} * 8;
  }

  // File offset of size bytes at rva when they lie in one section's file data.
  std::optional<std::uint64_t> FileOffsetOf(std::uint32_t rva, std::uint32_t size) const;
};

inline constexpr unsigned kResourceDirectoryIndex = 2;
inline constexpr unsigned kCertificateDirectoryIndex = 4;
inline constexpr std::uint64_t kSectionHeaderSize = 40;

bool LooksLikePe(std::span<const std::uint8_t> file);

// Nothing (with the reason in error) when the headers are not a PE file's
// or point outside it.
std::optional<PeImage> ParsePeImage(std::span<const std::uint8_t> file, std::string& error);

// Reads data directory entry index (zeros when the header has fewer).
PeDataDirectory ReadDataDirectory(std::span<const std::uint8_t> file, const PeImage& image, unsigned index);

}  // namespace kr::packaging
