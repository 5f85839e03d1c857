// A module that picks the items of a list it does not hold: the list of the
// plug its output is wired to ("Voltage To List"). The graph builder hands
// the list text over when it makes the audio object (GUI thread, engine
// stopped), so the audio side never reads the document.
#pragma once

#include <string_view>

namespace kr {

class ItemListTaker {
 public:
  // The output plug whose own list, or the list of the plug wired to it,
  // is the one to pick from.
  virtual std::string_view ItemListPlugName() const = 0;
  // An item list text; empty when there is none.
  virtual void UseItemList(std::string_view listText) = 0;

 protected:
  ~ItemListTaker() = default;
};

}  // namespace kr
