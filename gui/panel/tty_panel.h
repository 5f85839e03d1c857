// The text console of "Monitor" and "MIDI Monitor": the lines its audio
// module prints ("prnt"), the latest seven, one per line from the top in
// the "tty" style. A text "<CLS>" clears it; other texts starting with "<"
// are commands it does not know, and are dropped.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "gui/visual/owner_drawn.h"

namespace kr {

class CUG;

namespace gui {

class TtyPanel final : public OwnerDrawn {
 public:
  static constexpr std::size_t kLinesShown = 7;

  explicit TtyPanel(CUG& module) : module_(module) {}
  // Takes texts as they arrive; true when the lines shown changed.
  bool Take(const std::vector<std::string>& texts);
  const std::deque<std::string>& Lines() const { return lines_; }

  Size PreferredSize() override { return {200, 100}; }
  void Draw(CVisualOb& widget, DrawContext& dc) override;
  bool Refresh(CVisualOb& widget) override;

 private:
  CUG& module_;
  std::deque<std::string> lines_;
};

}  // namespace gui

}  // namespace kr
