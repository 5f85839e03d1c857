// A read-only stream over bytes held in memory. It shares ownership of the
// bytes, so it stays valid whatever happens to the list they came from.
#pragma once

#include <memory>
#include <vector>

#include "base/read_stream.h"

namespace kr {

class MemoryReadStream final : public ReadStream {
 public:
  MemoryReadStream(std::string path, std::shared_ptr<const std::vector<std::uint8_t>> bytes);

  std::size_t Read(std::span<std::uint8_t> into) override;
  bool Seek(std::uint64_t position) override;
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Size() const override { return bytes_->size(); }
  const std::string& Path() const override { return path_; }

 private:
  std::string path_;
  std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
  std::size_t position_ = 0;
};

}  // namespace kr
