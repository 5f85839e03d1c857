#include "formats/image/pe_resource_reader.h"

#include <string>

#include "base/little_endian.h"
#include "base/path_names.h"
#include "formats/image/pe_image.h"

namespace kr::packaging {

namespace {

constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kEntrySize = 8;

// Walks one resource directory inside the resource section's file bytes.
class ResourceTree {
 public:
  explicit ResourceTree(std::span<const std::uint8_t> section) : in_(section) {}

  struct Entry {
    std::uint32_t name;
    std::uint32_t target;
  };

  // Entries of the directory at offset: named ones first, then ids.
  std::optional<std::vector<Entry>> Entries(std::uint32_t offset) {
    const std::uint32_t named = in_.U16(std::uint64_t{offset} + 12);
    const std::uint32_t ids = in_.U16(std::uint64_t{offset} + 14);
    const std::uint64_t first = std::uint64_t{offset} + kDirectoryHeaderSize;
    if (!in_.ok() || !in_.Contains(first, (named + ids) * kEntrySize)) return std::nullopt;
    std::vector<Entry> entries;
    for (std::uint32_t i = 0; i < named + ids; ++i)
      entries.push_back({in_.U32(first + i * kEntrySize), in_.U32(first + i * kEntrySize + 4)});
    return entries;
  }

  // The length-prefixed UTF-16 name an entry points at, if plain ASCII.
  std::optional<std::string> Name(std::uint32_t offset) {
    const std::uint16_t length = in_.U16(offset);
    std::string name;
    for (std::uint16_t i = 0; i < length; ++i) {
      const std::uint16_t unit = in_.U16(std::uint64_t{offset} + 2 + 2u * i);
      if (unit >= 0x80) return std::nullopt;
      name.push_back(static_cast<char>(unit));
    }
    return in_.ok() ? std::optional<std::string>(name) : std::nullopt;
  }

  LittleEndianReader& reader() { return in_; }

 private:
  LittleEndianReader in_;
};

std::optional<std::uint32_t> SubdirectoryOf(const std::optional<std::vector<ResourceTree::Entry>>& entries,
                                            auto&& matches) {
  if (!entries) return std::nullopt;
  for (const auto& entry : *entries)
    if (matches(entry) && (entry.target & kResourceHighBit) != 0) return entry.target & ~kResourceHighBit;
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadPeResource(std::span<const std::uint8_t> peFile, std::string_view type,
                                                         int id) {
  std::string error;
  const auto image = ParsePeImage(peFile, error);
  if (!image) return std::nullopt;
  const PeDataDirectory resources = ReadDataDirectory(peFile, *image, kResourceDirectoryIndex);
  if (resources.rva == 0 || resources.size == 0) return std::nullopt;
  const auto base = image->FileOffsetOf(resources.rva, resources.size);
  if (!base) return std::nullopt;
  ResourceTree tree(peFile.subspan(static_cast<std::size_t>(*base), resources.size));

  const auto typeDirectory = SubdirectoryOf(tree.Entries(0), [&](const ResourceTree::Entry& e) {
    if ((e.name & kResourceHighBit) == 0) return false;
    const auto name = tree.Name(e.name & ~kResourceHighBit);
    return name && EqualsIgnoringCase(*name, type);
  });
  if (!typeDirectory) return std::nullopt;
  const auto languageDirectory = SubdirectoryOf(tree.Entries(*typeDirectory), [&](const ResourceTree::Entry& e) {
    return (e.name & kResourceHighBit) == 0 && e.name == static_cast<std::uint32_t>(id);
  });
  if (!languageDirectory) return std::nullopt;
  const auto languages = tree.Entries(*languageDirectory);
  if (!languages || languages->empty() || ((*languages)[0].target & kResourceHighBit) != 0) return std::nullopt;

  LittleEndianReader& in = tree.reader();
  const std::uint32_t dataEntry = (*languages)[0].target;
  const std::uint32_t dataRva = in.U32(dataEntry);
  const std::uint32_t dataSize = in.U32(std::uint64_t{dataEntry} + 4);
  if (!in.ok()) return std::nullopt;
  const auto dataOffset = image->FileOffsetOf(dataRva, dataSize);
  if (!dataOffset) return std::nullopt;
  const auto data = peFile.subspan(static_cast<std::size_t>(*dataOffset), dataSize);
  return std::vector<std::uint8_t>(data.begin(), data.end());
}

}  // namespace kr::packaging
