#include "base/memory_read_stream.h"

#include <algorithm>
#include <cstring>

namespace kr {

MemoryReadStream::MemoryReadStream(std::string path, std::shared_ptr<const std::vector<std::uint8_t>> bytes)
    : path_(std::move(path)), bytes_(bytes ? std::move(bytes) : std::make_shared<const std::vector<std::uint8_t>>()) {}

std::size_t MemoryReadStream::Read(std::span<std::uint8_t> into) {
  const std::size_t count = std::min(into.size(), bytes_->size() - position_);
  if (count != 0) std::memcpy(into.data(), bytes_->data() + position_, count);
  position_ += count;
  return count;
}

bool MemoryReadStream::Seek(std::uint64_t position) {
  if (position > bytes_->size()) return false;
  position_ = static_cast<std::size_t>(position);
  return true;
}

}  // namespace kr
