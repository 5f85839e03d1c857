// Little-endian fields in file images. Reading is bounds-checked with a
// sticky failure flag, so a parser can read a whole header and check once.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace kr::packaging {

class LittleEndianReader {
 public:
  explicit LittleEndianReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t U8(std::uint64_t at) { return static_cast<std::uint8_t>(Field(at, 1)); }
  std::uint16_t U16(std::uint64_t at) { return static_cast<std::uint16_t>(Field(at, 2)); }
  std::uint32_t U32(std::uint64_t at) { return static_cast<std::uint32_t>(Field(at, 4)); }
  std::uint64_t U64(std::uint64_t at) { return Field(at, 8); }
  // A 4- or 8-byte word, as an ELF class or PE format dictates.
  std::uint64_t Word(std::uint64_t at, bool wide) { return wide ? U64(at) : U32(at); }

  // True when [at, at + size) lies inside the bytes.
  bool Contains(std::uint64_t at, std::uint64_t size) const {
    return at <= bytes_.size() && size <= bytes_.size() - at;
  }
  bool ok() const { return ok_; }

 private:
  std::uint64_t Field(std::uint64_t at, unsigned size) {
    if (!Contains(at, size)) {
      ok_ = false;
      return 0;
    }
    std::uint64_t value = 0;
    for (unsigned i = 0; i < size; ++i) value |= std::uint64_t{bytes_[at + i]} << (8 * i);
    return value;
  }

  std::span<const std::uint8_t> bytes_;
  bool ok_ = true;
};

// Writes into an image the caller has already sized; a write outside it is
// a programming error and throws.
inline void PutLittleEndian(std::span<std::uint8_t> bytes, std::uint64_t at, std::uint64_t value, unsigned size) {
  if (at > bytes.size() || size > bytes.size() - at) throw std::out_of_range("image write out of range");
  for (unsigned i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline void Put16(std::span<std::uint8_t> b, std::uint64_t at, std::uint16_t v) { PutLittleEndian(b, at, v, 2); }
inline void Put32(std::span<std::uint8_t> b, std::uint64_t at, std::uint32_t v) { PutLittleEndian(b, at, v, 4); }
inline void PutWord(std::span<std::uint8_t> b, std::uint64_t at, std::uint64_t v, bool wide) {
  PutLittleEndian(b, at, v, wide ? 8 : 4);
}

inline std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
  return alignment <= 1 ? value : (value + alignment - 1) / alignment * alignment;
}

// Pads with zero bytes up to the given size.
inline void PadTo(std::vector<std::uint8_t>& image, std::uint64_t size) {
  if (image.size() < size) image.resize(static_cast<std::size_t>(size), 0);
}

}  // namespace kr::packaging
