#include "base/file_read_stream.h"

#include <filesystem>

namespace kr {

std::unique_ptr<FileReadStream> FileReadStream::Open(const std::string& path) {
  std::error_code ec;
  // A folder opens as a stream on some systems; modules want files only.
  if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return nullptr;
  const std::streamoff size = file.tellg();
  if (size < 0) return nullptr;
  file.seekg(0);
  return std::make_unique<FileReadStream>(OpenedToken{}, path, std::move(file), static_cast<std::uint64_t>(size));
}

FileReadStream::FileReadStream(OpenedToken, std::string path, std::ifstream file, std::uint64_t size)
    : path_(std::move(path)), file_(std::move(file)), size_(size) {}

std::size_t FileReadStream::Read(std::span<std::uint8_t> into) {
  if (into.empty() || position_ >= size_) return 0;
  file_.clear();
  file_.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(into.size()));
  const auto count = static_cast<std::size_t>(file_.gcount());
  position_ += count;
  return count;
}

bool FileReadStream::Seek(std::uint64_t position) {
  if (position > size_) return false;
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(position));
  if (!file_) return false;
  position_ = position;
  return true;
}

}  // namespace kr
