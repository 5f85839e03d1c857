#include "base/whole_file.h"

#include <atomic>
#include <filesystem>
#include <fstream>

#include "platform/platform.h"

namespace kr {

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uint64_t>(size) > std::vector<std::uint8_t>{}.max_size()) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!bytes.empty() && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
    return std::nullopt;
  return bytes;
}

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  // Two plug-in instances may write the same library at once: each writes
  // its own temporary file (thread ids are unique across processes).
  static std::atomic<unsigned> serial{0};
  const std::string temporary =
      path + "." + std::to_string(platform::CurrentThreadId()) + "." + std::to_string(serial++) + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace kr
