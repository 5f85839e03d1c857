#include "support/temp_dir.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace krtest {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::path(::testing::TempDir()) /
          ("kr_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace krtest
