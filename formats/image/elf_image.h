// The parts of a little-endian ELF file (32- or 64-bit) that adding a
// section touches: the file header and the section header table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kr::packaging {

struct ElfSection {
  std::uint32_t nameIndex = 0;
  std::uint32_t type = 0;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::string name;

  // An empty (NOBITS) section occupies no bytes in the file.
  bool OccupiesFile() const { return type != 8; }
};

struct ElfImage {
  bool wide = false;  // ELF64
  std::uint64_t sectionTableOffset = 0;
  std::uint16_t sectionNameTableIndex = 0;
  std::vector<ElfSection> sections;

  // Offsets of the fields and records that differ between the two classes.
  std::uint64_t SectionHeaderSize() const { return wide ? 64 : 40; }
  std::uint64_t ShOffField() const { return wide ? 40 : 32; }
  std::uint64_t ShNumField() const { return wide ? 60 : 48; }
  std::uint64_t SectionOffsetField() const { return wide ? 24 : 16; }
  std::uint64_t SectionSizeField() const { return wide ? 32 : 20; }
  std::uint64_t SectionAlignField() const { return wide ? 48 : 32; }

  const ElfSection* Find(std::string_view name) const;
};

bool LooksLikeElf(std::span<const std::uint8_t> file);

// Nothing (with the reason in error) when the file is not a little-endian
// ELF file whose section table and section names lie inside it.
std::optional<ElfImage> ParseElfImage(std::span<const std::uint8_t> file, std::string& error);

}  // namespace kr::packaging
