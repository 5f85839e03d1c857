#include "gui/panel/tty_panel.h"

#include <utility>

#include "document/cug.h"
#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/widgets.h"

namespace kr::gui {

bool TtyPanel::Take(const std::vector<std::string>& texts) {
  bool changed = false;
  for (std::string text : texts) {
    std::erase(text, '\n');
    std::erase(text, '\r');
    if (!text.empty() && text.front() == '<') {
      if (text == "<CLS>" && !lines_.empty()) {
        lines_.clear();
        changed = true;
      }
      continue;
    }
    lines_.push_back(std::move(text));
    if (lines_.size() > kLinesShown) lines_.pop_front();
    changed = true;
  }
  return changed;
}

bool TtyPanel::Refresh(CVisualOb& widget) { return Take(ValuesOf(widget).TakePrinted(module_)); }

void TtyPanel::Draw(CVisualOb& widget, DrawContext& dc) {
  const Rect c = widget.GetClientRect();
  FillRect(dc, c, kFieldBack);
  const SkinFontInfo& style = StyleNamed(widget, "tty");
  const int height = FontOfStyle(style).Height();
  int y = 2;
  for (const std::string& line : lines_) {
    DrawTextLine(dc, {c.left + 3, y, c.right - 2, y + height}, line, style, Align::Left,
                 static_cast<std::uint32_t>(style.colour), -1);
    y += height;
  }
}

}  // namespace kr::gui
