// The outcome of rewriting a plug-in image: the new bytes, or why not.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kr::packaging {

struct ImageResult {
  std::vector<std::uint8_t> image;
  std::string error;  // empty on success

  bool ok() const { return error.empty(); }
  static ImageResult Failure(std::string why) { return {{}, std::move(why)}; }
};

}  // namespace kr::packaging
