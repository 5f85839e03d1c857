#include "formats/image/elf_section_writer.h"

#include <algorithm>

#include "base/little_endian.h"
#include "formats/image/elf_image.h"

namespace kr::packaging {

namespace {
constexpr std::uint32_t kProgBitsType = 1;
}

ImageResult AddElfSection(std::span<const std::uint8_t> elfFile, std::string_view sectionName,
                          std::span<const std::uint8_t> contents) {
  std::string error;
  const auto parsed = ParseElfImage(elfFile, error);
  if (!parsed) return ImageResult::Failure(error);
  const ElfImage& elf = *parsed;
  const ElfSection* existing = elf.Find(sectionName);
  if (!existing && elf.sections.size() + 1 >= 0xff00)
    return ImageResult::Failure("the ELF file has too many sections");

  std::vector<std::uint8_t> out(elfFile.begin(), elfFile.end());
  const std::uint64_t wordSize = elf.wide ? 8 : 4;

  const std::uint64_t dataOffset = AlignUp(out.size(), wordSize);
  PadTo(out, dataOffset);
  out.insert(out.end(), contents.begin(), contents.end());

  // The section-name table is copied to the end with the new name added.
  std::uint64_t namesOffset = 0, namesSize = 0, newNameIndex = 0;
  if (!existing) {
    const ElfSection& names = elf.sections[elf.sectionNameTableIndex];
    namesOffset = out.size();
    const auto namesBegin = elfFile.begin() + static_cast<std::ptrdiff_t>(names.offset);
    out.insert(out.end(), namesBegin, namesBegin + static_cast<std::ptrdiff_t>(names.size));
    newNameIndex = names.size;
    out.insert(out.end(), sectionName.begin(), sectionName.end());
    out.push_back(0);
    namesSize = out.size() - namesOffset;
  }

  const std::uint64_t headerSize = elf.SectionHeaderSize();
  const std::uint64_t tableOffset = AlignUp(out.size(), wordSize);
  PadTo(out, tableOffset);
  const auto oldTable = elfFile.subspan(static_cast<std::size_t>(elf.sectionTableOffset),
                                        static_cast<std::size_t>(elf.sections.size() * headerSize));
  out.insert(out.end(), oldTable.begin(), oldTable.end());
  std::span<std::uint8_t> image(out);
  auto headerAt = [&](std::size_t index) { return tableOffset + index * headerSize; };

  if (existing) {
    const auto index = static_cast<std::size_t>(existing - elf.sections.data());
    Put32(image, headerAt(index) + 4, kProgBitsType);  // it may have been an empty NOBITS section
    PutWord(image, headerAt(index) + elf.SectionOffsetField(), dataOffset, elf.wide);
    PutWord(image, headerAt(index) + elf.SectionSizeField(), contents.size(), elf.wide);
  } else {
    PutWord(image, headerAt(elf.sectionNameTableIndex) + elf.SectionOffsetField(), namesOffset, elf.wide);
    PutWord(image, headerAt(elf.sectionNameTableIndex) + elf.SectionSizeField(), namesSize, elf.wide);
    const std::size_t index = elf.sections.size();
    out.resize(static_cast<std::size_t>(headerAt(index) + headerSize), 0);
    image = std::span<std::uint8_t>(out);
    Put32(image, headerAt(index), static_cast<std::uint32_t>(newNameIndex));
    Put32(image, headerAt(index) + 4, kProgBitsType);
    PutWord(image, headerAt(index) + elf.SectionOffsetField(), dataOffset, elf.wide);
    PutWord(image, headerAt(index) + elf.SectionSizeField(), contents.size(), elf.wide);
    PutWord(image, headerAt(index) + elf.SectionAlignField(), 1, elf.wide);
    Put16(image, elf.ShNumField(), static_cast<std::uint16_t>(index + 1));
  }
  PutWord(image, elf.ShOffField(), tableOffset, elf.wide);
  return {std::move(out), {}};
}

}  // namespace kr::packaging
