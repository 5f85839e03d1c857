// Bounded big-endian reading over a byte span: every read says whether the
// bytes were there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kr::midifile {

class ByteCursor {
 public:
  explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }

  bool Byte(std::uint8_t& out) {
    if (AtEnd()) return false;
    out = bytes_[pos_++];
    return true;
  }
  bool Peek(std::uint8_t& out) const {
    if (AtEnd()) return false;
    out = bytes_[pos_];
    return true;
  }
  bool BigEndian(int count, std::uint32_t& out) {
    if (Remaining() < static_cast<std::size_t>(count)) return false;
    out = 0;
    for (int i = 0; i < count; ++i) out = (out << 8) | bytes_[pos_++];
    return true;
  }
  bool Skip(std::uint64_t count) {
    if (count > Remaining()) return false;
    pos_ += static_cast<std::size_t>(count);
    return true;
  }
  // A variable-length number: 7 bits a byte, most significant first, at most
  // four bytes (the largest the format allows, 0x0FFFFFFF).
  bool VariableLength(std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t b = 0;
      if (!Byte(b)) return false;
      out = (out << 7) | (b & 0x7Fu);
      if ((b & 0x80u) == 0) return true;
    }
    return false;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace kr::midifile
