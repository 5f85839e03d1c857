#include "formats/image/pe_resource_writer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "formats/image/pe_image.h"
#include "formats/image/pe_resource_reader.h"

namespace kr::packaging {

namespace {

constexpr std::uint32_t kInitialisedReadableData = 0x00000040u | 0x40000000u;
constexpr std::uint16_t kMaxSections = 96;
constexpr std::uint32_t kNeutralLanguage = 0;

// Root (type by name) -> id -> language -> data entry, then the type name,
// then the bytes. Offsets are from the section start; the data entry holds an
// RVA, so the section's address must be known.
std::vector<std::uint8_t> BuildResourceSection(const std::string& type, int id, std::span<const std::uint8_t> contents,
                                               std::uint32_t sectionRva) {
  constexpr std::uint32_t kRoot = 0, kIdDirectory = 24, kLanguageDirectory = 48, kDataEntry = 72, kTypeName = 88;
  const std::uint32_t nameBytes = 2 + 2 * static_cast<std::uint32_t>(type.size());
  const auto dataOffset = static_cast<std::uint32_t>(AlignUp(kTypeName + nameBytes, 8));
  std::vector<std::uint8_t> section(dataOffset + contents.size(), 0);
  std::span<std::uint8_t> out(section);

  // Directory headers: characteristics, time, version are zero; then the
  // named-entry and id-entry counts.
  Put16(out, kRoot + 12, 1);
  Put32(out, kRoot + 16, kResourceHighBit | kTypeName);
  Put32(out, kRoot + 20, kResourceHighBit | kIdDirectory);
  Put16(out, kIdDirectory + 14, 1);
  Put32(out, kIdDirectory + 16, static_cast<std::uint32_t>(id));
  Put32(out, kIdDirectory + 20, kResourceHighBit | kLanguageDirectory);
  Put16(out, kLanguageDirectory + 14, 1);
  Put32(out, kLanguageDirectory + 16, kNeutralLanguage);
  Put32(out, kLanguageDirectory + 20, kDataEntry);
  Put32(out, kDataEntry, sectionRva + dataOffset);
  Put32(out, kDataEntry + 4, static_cast<std::uint32_t>(contents.size()));
  Put16(out, kTypeName, static_cast<std::uint16_t>(type.size()));
  for (std::size_t i = 0; i < type.size(); ++i) Put16(out, kTypeName + 2 + 2 * i, static_cast<std::uint8_t>(type[i]));
  std::copy(contents.begin(), contents.end(), section.begin() + dataOffset);
  return section;
}

std::string UpperCaseAsciiName(std::string_view type) {
  std::string upper(type);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

bool IsUsableTypeName(std::string_view type) {
  return !type.empty() && type.size() < 256 &&
         std::all_of(type.begin(), type.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

std::uint32_t FirstSectionDataOffset(const PeImage& image) {
  std::uint32_t first = UINT32_MAX;
  for (const PeSection& section : image.sections)
    if (section.rawSize != 0 && section.rawOffset != 0) first = std::min(first, section.rawOffset);
  return first;
}

std::uint64_t EndOfImage(const PeImage& image) {
  std::uint64_t end = image.sizeOfHeaders;
  for (const PeSection& section : image.sections)
    end = std::max<std::uint64_t>(end, std::uint64_t{section.virtualAddress} +
                                           std::max(section.virtualSize, section.rawSize));
  return AlignUp(end, image.sectionAlignment);
}

}  // namespace

std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::uint64_t checksumFieldOffset) {
  auto byteAt = [&](std::uint64_t at) -> std::uint32_t {
    const bool inField = at >= checksumFieldOffset && at < checksumFieldOffset + 4;
    return at < file.size() && !inField ? file[at] : 0;
  };
  std::uint64_t sum = 0;
  for (std::uint64_t at = 0; at < file.size(); at += 2) {
    sum += byteAt(at) | (byteAt(at + 1) << 8);
    sum = (sum & 0xffff) + (sum >> 16);
  }
  sum = (sum & 0xffff) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + file.size());
}

ImageResult AddPeResource(std::span<const std::uint8_t> peFile, std::string_view type, int id,
                          std::span<const std::uint8_t> contents) {
  if (!IsUsableTypeName(type) || id < 0 || id > 0xffff)
    return ImageResult::Failure("a resource needs a printable ASCII type name and an id from 0 to 65535");
  std::string error;
  const auto parsed = ParsePeImage(peFile, error);
  if (!parsed) return ImageResult::Failure(error);
  const PeImage& image = *parsed;

  if (image.dataDirectoryCount <= kResourceDirectoryIndex)
    return ImageResult::Failure("the PE file has no resource directory entry in its header");
  const PeDataDirectory existing = ReadDataDirectory(peFile, image, kResourceDirectoryIndex);
  const bool hasRsrc = std::any_of(image.sections.begin(), image.sections.end(),
                                   [](const PeSection& s) { return s.name == ".rsrc"; });
  if (existing.rva != 0 || existing.size != 0 || hasRsrc)
    return ImageResult::Failure("the PE file already has resources; adding to them is not supported");
  if (ReadDataDirectory(peFile, image, kCertificateDirectoryIndex).size != 0)
    return ImageResult::Failure("the PE file is signed; add the resource before signing");
  if (image.sections.size() >= kMaxSections) return ImageResult::Failure("the PE file has too many sections");
  const std::uint64_t newHeaderAt = image.sectionTableOffset + image.sections.size() * kSectionHeaderSize;
  const std::uint64_t roomEnd =
      std::min<std::uint64_t>({image.sizeOfHeaders, FirstSectionDataOffset(image), peFile.size()});
  // The slot must also be unused: some tools keep their own data after the table.
  if (newHeaderAt + kSectionHeaderSize > roomEnd ||
      !std::all_of(peFile.begin() + static_cast<std::ptrdiff_t>(newHeaderAt),
                   peFile.begin() + static_cast<std::ptrdiff_t>(newHeaderAt + kSectionHeaderSize),
                   [](std::uint8_t b) { return b == 0; }))
    return ImageResult::Failure("the PE headers have no room for another section header");

  const std::uint64_t sectionRva = EndOfImage(image);
  const std::vector<std::uint8_t> section =
      BuildResourceSection(UpperCaseAsciiName(type), id, contents, static_cast<std::uint32_t>(sectionRva));
  const std::uint64_t rawOffset = AlignUp(peFile.size(), image.fileAlignment);
  const std::uint64_t rawSize = AlignUp(section.size(), image.fileAlignment);
  const std::uint64_t newImageSize = AlignUp(sectionRva + section.size(), image.sectionAlignment);
  if (newImageSize > UINT32_MAX || rawOffset + rawSize > UINT32_MAX)
    return ImageResult::Failure("the resource makes the PE file too large");

  std::vector<std::uint8_t> out(peFile.begin(), peFile.end());
  PadTo(out, rawOffset);
  out.insert(out.end(), section.begin(), section.end());
  PadTo(out, rawOffset + rawSize);
  std::span<std::uint8_t> bytes(out);

  std::copy_n(".rsrc\0\0\0", 8, bytes.begin() + static_cast<std::ptrdiff_t>(newHeaderAt));
  Put32(bytes, newHeaderAt + 8, static_cast<std::uint32_t>(section.size()));
  Put32(bytes, newHeaderAt + 12, static_cast<std::uint32_t>(sectionRva));
  Put32(bytes, newHeaderAt + 16, static_cast<std::uint32_t>(rawSize));
  Put32(bytes, newHeaderAt + 20, static_cast<std::uint32_t>(rawOffset));
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(newHeaderAt + 24), 12, 0);  // no relocations or line numbers
  Put32(bytes, newHeaderAt + 36, kInitialisedReadableData);

  LittleEndianReader in(peFile);
  Put16(bytes, image.NumberOfSectionsField(), static_cast<std::uint16_t>(image.sections.size() + 1));
  Put32(bytes, image.SizeOfInitializedDataField(),
        in.U32(image.SizeOfInitializedDataField()) + static_cast<std::uint32_t>(rawSize));
  Put32(bytes, image.SizeOfImageField(), static_cast<std::uint32_t>(newImageSize));
  Put32(bytes, image.DataDirectoryField(kResourceDirectoryIndex), static_cast<std::uint32_t>(sectionRva));
  Put32(bytes, image.DataDirectoryField(kResourceDirectoryIndex) + 4, static_cast<std::uint32_t>(section.size()));
  Put32(bytes, image.CheckSumField(), PeChecksum(bytes, image.CheckSumField()));
  return {std::move(out), {}};
}

}  // namespace kr::packaging
