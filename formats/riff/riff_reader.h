// A bounded RIFF reader over bytes in memory: walks the chunk tree, checks
// every size against the chunk that encloses it, and reports where the
// chunks a caller asks for lie. It never copies or allocates from a size
// the file declares; callers take the data as spans of the bytes given.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kr::riff {

using FourCC = std::uint32_t;

// "abcd" as the little-endian word a RIFF file stores.
constexpr FourCC MakeFourCC(const char (&text)[5]) {
  return static_cast<FourCC>(static_cast<unsigned char>(text[0])) |
         static_cast<FourCC>(static_cast<unsigned char>(text[1])) << 8 |
         static_cast<FourCC>(static_cast<unsigned char>(text[2])) << 16 |
         static_cast<FourCC>(static_cast<unsigned char>(text[3])) << 24;
}
std::string FourCCText(FourCC id);

// One chunk to capture: its id, the type of the LIST (or of the RIFF form)
// that must hold it, and the size of one record of its data.
struct ChunkRow {
  std::string_view description;
  FourCC listType = 0;
  FourCC id = 0;
  std::uint32_t recordSize = 1;
};

struct FoundChunk {
  bool found = false;
  std::size_t offset = 0;  // of the data, from the start of the bytes
  std::size_t size = 0;    // data bytes (without the pad byte)
  std::size_t count = 0;   // size / record size
};

struct RiffResult {
  bool ok = false;
  FourCC formType = 0;
  std::vector<FoundChunk> chunks;  // one per row, in row order
  std::string error;               // set when !ok
};

constexpr int kMaxListDepth = 8;

// Walks a RIFF file. The outer chunk must be "RIFF" and fit in the bytes;
// every chunk must fit in its parent; after odd-sized data a pad byte is
// skipped unless the next chunk's id starts at once (some writers leave it
// out); LISTs nest at most kMaxListDepth deep.
// A chunk that matches several rows is taken by the last row; a chunk seen
// twice keeps its last place.
RiffResult ReadRiff(std::span<const std::uint8_t> bytes, std::span<const ChunkRow> rows);

// Little-endian fields of chunk data, bounds-checked by the caller.
inline std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
inline std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

}  // namespace kr::riff
