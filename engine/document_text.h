// A module whose document object holds a text besides its plugs (the
// SoundFont a player plays is stored as its control's text). The graph
// builder hands the text over when it makes the audio object.
#pragma once

#include <string>

namespace kr {

class DocumentTextTaker {
 public:
  virtual void TakeDocumentText(std::string text) = 0;

 protected:
  ~DocumentTextTaker() = default;
};

}  // namespace kr
