#include "formats/image/pe_image.h"

#include <algorithm>
#include <cstring>

#include "base/little_endian.h"

namespace kr::packaging {

namespace {
constexpr std::uint16_t kMagicPe32 = 0x10b;
constexpr std::uint16_t kMagicPe32Plus = 0x20b;
constexpr std::uint64_t kCoffHeaderSize = 20;

bool IsPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }
}  // namespace

std::optional<std::uint64_t> PeImage::FileOffsetOf(std::uint32_t rva, std::uint32_t size) const {
  for (const PeSection& section : sections) {
    if (rva < section.virtualAddress) continue;
    const std::uint64_t into = rva - section.virtualAddress;
    // Bytes past the virtual size are file padding the loader does not map.
    const std::uint32_t mapped =
        section.virtualSize != 0 ? std::min(section.virtualSize, section.rawSize) : section.rawSize;
    if (into + size <= mapped) return section.rawOffset + into;
  }
  return std::nullopt;
}

bool LooksLikePe(std::span<const std::uint8_t> file) { return file.size() >= 2 && file[0] == 'M' && file[1] == 'Z'; }

std::optional<PeImage> ParsePeImage(std::span<const std::uint8_t> file, std::string& error) {
  LittleEndianReader in(file);
  const std::uint32_t peOffset = in.U32(0x3c);
  if (!LooksLikePe(file) || !in.ok() || !in.Contains(peOffset, 4 + kCoffHeaderSize) ||
      std::memcmp(file.data() + peOffset, "PE\0\0", 4) != 0) {
    error = "not a PE file";
    return std::nullopt;
  }
  PeImage image;
  const std::uint64_t coff = std::uint64_t{peOffset} + 4;
  const std::uint16_t sectionCount = in.U16(coff + 2);
  const std::uint16_t optionalSize = in.U16(coff + 16);
  image.optionalHeaderOffset = coff + kCoffHeaderSize;
  image.sectionTableOffset = image.optionalHeaderOffset + optionalSize;
  const std::uint16_t magic = in.U16(image.optionalHeaderOffset);
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
    error = "the PE file has an unknown optional header";
    return std::nullopt;
  }
  image.wide = magic == kMagicPe32Plus;
  const std::uint64_t directoriesStart = image.wide ? 112 : 96;
  if (optionalSize < directoriesStart || !in.Contains(image.optionalHeaderOffset, optionalSize)) {
    error = "the PE optional header is cut short";
    return std::nullopt;
  }
  image.sectionAlignment = in.U32(image.optionalHeaderOffset + 32);
  image.fileAlignment = in.U32(image.optionalHeaderOffset + 36);
  image.sizeOfHeaders = in.U32(image.optionalHeaderOffset + 60);
  image.dataDirectoryCount = in.U32(image.optionalHeaderOffset + (image.wide ? 108 : 92));
  // Only the directories that fit in the optional header count.
  image.dataDirectoryCount =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(image.dataDirectoryCount, (optionalSize - directoriesStart) / 8));
  // The limits Windows itself accepts; they also bound the padding a writer adds.
  if (!IsPowerOfTwo(image.sectionAlignment) || !IsPowerOfTwo(image.fileAlignment) ||
      image.fileAlignment > 0x10000 || image.sectionAlignment < image.fileAlignment) {
    error = "the PE file has invalid alignments";
    return std::nullopt;
  }
  if (!in.Contains(image.sectionTableOffset, sectionCount * kSectionHeaderSize)) {
    error = "the PE section table lies outside the file";
    return std::nullopt;
  }
  for (std::uint16_t i = 0; i < sectionCount; ++i) {
    const std::uint64_t at = image.sectionTableOffset + i * kSectionHeaderSize;
    PeSection section;
    const auto* name = reinterpret_cast<const char*>(file.data() + at);
    section.name.assign(name, strnlen(name, 8));
    section.virtualSize = in.U32(at + 8);
    section.virtualAddress = in.U32(at + 12);
    section.rawSize = in.U32(at + 16);
    section.rawOffset = in.U32(at + 20);
    if (section.rawSize != 0 && !in.Contains(section.rawOffset, section.rawSize)) {
      error = "a PE section lies outside the file";
      return std::nullopt;
    }
    image.sections.push_back(section);
  }
  if (!in.ok()) {
    error = "the PE headers are cut short";
    return std::nullopt;
  }
  return image;
}

PeDataDirectory ReadDataDirectory(std::span<const std::uint8_t> file, const PeImage& image, unsigned index) {
  if (index >= image.dataDirectoryCount) return {};
  LittleEndianReader in(file);
  PeDataDirectory directory{in.U32(image.DataDirectoryField(index)), in.U32(image.DataDirectoryField(index) + 4)};
  return in.ok() ? directory : PeDataDirectory{};
}

}  // namespace kr::packaging
