// The engine's own error: raised while the module graph is built or wired,
// caught by the start-sound routine, which reports it and leaves sound stopped.
#pragma once

#include <exception>
#include <string>

namespace kr {

class ug_base;

enum KrErrorCode : int {
  KR_ERR_FEEDBACK = 1,          // a feedback path between two modules
  KR_ERR_NOTE_SOURCES = 2,      // more than one note source in one container
  KR_ERR_NO_COMBINER = 3,       // a second source into a single input and nobody to combine them
};

class KrException : public std::exception {
 public:
  KrException(int code, ug_base* first, ug_base* second);

  const char* what() const noexcept override { return text_.c_str(); }

  int code;
  ug_base* first;   // the two modules involved (either may be null)
  ug_base* second;

 private:
  std::string text_;
};

}  // namespace kr
