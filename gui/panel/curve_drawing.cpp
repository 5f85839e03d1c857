#include "gui/panel/curve_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/visual/widgets.h"

namespace kr::gui {

int PixelOf(double v) { return static_cast<int>(std::floor(std::clamp(std::isnan(v) ? 0.0 : v, -1.0e6, 1.0e6))); }

std::string FormatNumber(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void DrawPointSquare(DrawContext& dc, int x, int y, Pixel colour) { FrameRect(dc, {x - 3, y - 3, x + 3, y + 3}, colour); }

int CurveLabelHeight(CVisualOb& widget) { return FontOfStyle(StyleNamed(widget, "tty")).Height(); }

void DrawCurveLabel(CVisualOb& widget, DrawContext& dc, const Rect& r, std::string_view text, Align align) {
  const SkinFontInfo& style = StyleNamed(widget, "tty");
  DrawTextLine(dc, r, text, style, align, static_cast<std::uint32_t>(style.colour), -1);
}

}  // namespace kr::gui
