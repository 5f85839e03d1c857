// A fault in a patch text, with the line it was found on (1-based; 0 when
// the fault belongs to no line, e.g. an unreadable file).
#pragma once

#include <stdexcept>
#include <string>

namespace kr {

namespace patchtext {

class PatchTextError : public std::runtime_error {
 public:
  PatchTextError(int line, const std::string& problem)
      : std::runtime_error(line > 0 ? "line " + std::to_string(line) + ": " + problem : problem),
        line_(line),
        problem_(problem) {}
  int Line() const { return line_; }
  const std::string& Problem() const { return problem_; }

 private:
  int line_;
  std::string problem_;
};

}  // namespace patchtext

}  // namespace kr
