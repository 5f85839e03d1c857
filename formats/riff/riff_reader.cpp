#include "formats/riff/riff_reader.h"

namespace kr::riff {

std::string FourCCText(FourCC id) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((id >> (8 * i)) & 0xFF);
    text += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return text;
}

namespace {

constexpr FourCC kRiff = MakeFourCC("RIFF");
constexpr FourCC kList = MakeFourCC("LIST");

struct Walker {
  std::span<const std::uint8_t> bytes;
  std::span<const ChunkRow> rows;
  RiffResult& result;

  bool Fail(std::string text) {
    result.error = std::move(text);
    return false;
  }

  // Walks the chunks in [begin, end), all inside a LIST (or form) of type listType.
  bool Walk(std::size_t begin, std::size_t end, FourCC listType, int depth) {
    std::size_t at = begin;
    while (at < end) {
      if (end - at < 8) return Fail("chunk head at byte " + std::to_string(at) + " is cut off");
      const FourCC id = U32(bytes, at);
      const std::uint32_t size = U32(bytes, at + 4);
      const std::size_t data = at + 8;
      if (size > end - data)
        return Fail("chunk \"" + FourCCText(id) + "\" at byte " + std::to_string(at) + " declares " +
                    std::to_string(size) + " bytes but its parent holds only " + std::to_string(end - data));
      if (id == kList) {
        if (size < 4) return Fail("LIST at byte " + std::to_string(at) + " has no type");
        if (depth + 1 > kMaxListDepth) return Fail("LISTs nest more than " + std::to_string(kMaxListDepth) + " deep");
        if (!Walk(data + 4, data + size, U32(bytes, data), depth + 1)) return false;
      } else {
        Capture(id, listType, data, size);
      }
      at = data + size;
      if ((size & 1u) != 0 && at < end && PadByteHere(at, end)) ++at;
    }
    return true;
  }

  // Odd data is followed by a pad byte, but some writers leave it out: a
  // zero is a pad byte; otherwise the next chunk's id may start right here.
  bool PadByteHere(std::size_t at, std::size_t end) const {
    if (bytes[at] == 0 || end - at < 4) return true;
    for (std::size_t i = 0; i < 4; ++i)
      if (bytes[at + i] < 0x20 || bytes[at + i] > 0x7E) return true;
    return false;
  }

  void Capture(FourCC id, FourCC listType, std::size_t data, std::uint32_t size) {
    for (std::size_t i = rows.size(); i-- > 0;) {
      const ChunkRow& row = rows[i];
      if (row.id != id || row.listType != listType) continue;
      FoundChunk& found = result.chunks[i];
      found.found = true;
      found.offset = data;
      found.size = size;
      found.count = row.recordSize == 0 ? 0 : size / row.recordSize;
      return;
    }
  }
};

}  // namespace

RiffResult ReadRiff(std::span<const std::uint8_t> bytes, std::span<const ChunkRow> rows) {
  RiffResult result;
  result.chunks.resize(rows.size());
  if (bytes.size() < 12 || U32(bytes, 0) != kRiff) {
    result.error = "not a RIFF file";
    return result;
  }
  const std::uint32_t size = U32(bytes, 4);
  if (size < 4) {
    result.error = "the RIFF chunk is too short to hold its form type";
    return result;
  }
  if (size > bytes.size() - 8) {
    result.error = "the RIFF chunk declares " + std::to_string(size) + " bytes but the file holds only " +
                   std::to_string(bytes.size() - 8);
    return result;
  }
  result.formType = U32(bytes, 8);
  Walker walker{bytes, rows, result};
  result.ok = walker.Walk(12, 8 + static_cast<std::size_t>(size), result.formType, 0);
  return result;
}

}  // namespace kr::riff
