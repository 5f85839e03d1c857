#include "formats/image/elf_image.h"

#include <cstring>

#include "base/little_endian.h"

namespace kr::packaging {

namespace {
constexpr std::uint8_t kClass32 = 1, kClass64 = 2, kLittleEndian = 1;
constexpr std::uint16_t kFirstReservedIndex = 0xff00;  // extended numbering starts here
}  // namespace

const ElfSection* ElfImage::Find(std::string_view name) const {
  for (const ElfSection& section : sections)
    if (section.name == name) return &section;
  return nullptr;
}

bool LooksLikeElf(std::span<const std::uint8_t> file) {
  return file.size() >= 4 && std::memcmp(file.data(), "\x7f" "ELF", 4) == 0;
}

std::optional<ElfImage> ParseElfImage(std::span<const std::uint8_t> file, std::string& error) {
  LittleEndianReader in(file);
  if (!LooksLikeElf(file) || !in.Contains(0, 64)) {
    error = "not an ELF file";
    return std::nullopt;
  }
  const std::uint8_t elfClass = in.U8(4);
  if ((elfClass != kClass32 && elfClass != kClass64) || in.U8(5) != kLittleEndian) {
    error = "only little-endian 32- and 64-bit ELF files are supported";
    return std::nullopt;
  }
  ElfImage image;
  image.wide = elfClass == kClass64;
  image.sectionTableOffset = in.Word(image.wide ? 40 : 32, image.wide);
  const std::uint16_t entrySize = in.U16(image.wide ? 58 : 46);
  const std::uint16_t count = in.U16(image.ShNumField());
  image.sectionNameTableIndex = in.U16(image.wide ? 62 : 50);
  if (count == 0 || count >= kFirstReservedIndex || entrySize != image.SectionHeaderSize() ||
      image.sectionNameTableIndex == 0 || image.sectionNameTableIndex >= count ||
      !in.Contains(image.sectionTableOffset, std::uint64_t{count} * entrySize)) {
    error = "the ELF file has no usable section table";
    return std::nullopt;
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint64_t at = image.sectionTableOffset + std::uint64_t{i} * entrySize;
    ElfSection section;
    section.nameIndex = in.U32(at);
    section.type = in.U32(at + 4);
    section.offset = in.Word(at + image.SectionOffsetField(), image.wide);
    section.size = in.Word(at + image.SectionSizeField(), image.wide);
    if (section.OccupiesFile() && !in.Contains(section.offset, section.size)) {
      error = "an ELF section lies outside the file";
      return std::nullopt;
    }
    image.sections.push_back(section);
  }
  const ElfSection& names = image.sections[image.sectionNameTableIndex];
  if (!names.OccupiesFile()) {
    error = "the ELF section-name table has no bytes in the file";
    return std::nullopt;
  }
  for (ElfSection& section : image.sections) {
    if (section.nameIndex >= names.size) continue;  // unnamed, or a name we cannot read
    const auto* start = reinterpret_cast<const char*>(file.data() + names.offset + section.nameIndex);
    const std::size_t room = static_cast<std::size_t>(names.size - section.nameIndex);
    const void* end = std::memchr(start, '\0', room);
    section.name.assign(start, end != nullptr ? static_cast<const char*>(end) : start + room);
  }
  return in.ok() ? std::optional<ElfImage>(std::move(image)) : std::nullopt;
}

}  // namespace kr::packaging
