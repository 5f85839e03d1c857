// A read-only stream over a file on disk.
#pragma once

#include <fstream>
#include <memory>

#include "base/read_stream.h"

namespace kr {

class FileReadStream final : public ReadStream {
  struct OpenedToken {};  // only Open makes streams

 public:
  FileReadStream(OpenedToken, std::string path, std::ifstream file, std::uint64_t size);

  // Nothing when the path is not a readable regular file.
  static std::unique_ptr<FileReadStream> Open(const std::string& path);

  std::size_t Read(std::span<std::uint8_t> into) override;
  bool Seek(std::uint64_t position) override;
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Size() const override { return size_; }
  const std::string& Path() const override { return path_; }

 private:
  std::string path_;
  std::ifstream file_;
  std::uint64_t size_ = 0;
  std::uint64_t position_ = 0;
};

}  // namespace kr
