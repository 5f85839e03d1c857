#pragma once

#include <filesystem>
#include <string>

namespace krtest {

// A fresh folder for one test, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The whole file as bytes in a string; empty when it cannot be read.
std::string ReadText(const std::filesystem::path& path);

}  // namespace krtest
