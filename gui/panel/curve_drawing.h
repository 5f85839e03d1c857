// What the curve editors' pictures share: their colours, the 6 x 6 point
// square and labels in the "tty" style.
#pragma once

#include <string>
#include <string_view>

#include "gui/draw/draw.h"
#include "gui/draw/text.h"
#include "gui/visual/visual_ob.h"

namespace kr::gui {

inline constexpr Pixel kCurveBack = Rgb(0, 0, 0);
inline constexpr Pixel kCurveGrid = FromColorRef(0x006400);
inline constexpr Pixel kCurveLine = FromColorRef(0x00FF00);
inline constexpr Pixel kCurveSelected = Rgb(255, 255, 255);

// A pixel coordinate, floored, of any value (far ones held to +-1e6).
int PixelOf(double v);
// A number by a printf format ("%2.1f").
std::string FormatNumber(const char* format, double value);
// The square around a point at (x, y).
void DrawPointSquare(DrawContext& dc, int x, int y, Pixel colour);
// The height of a "tty" line.
int CurveLabelHeight(CVisualOb& widget);
// A label in the "tty" style: aligned in r, vertically centred on its line.
void DrawCurveLabel(CVisualOb& widget, DrawContext& dc, const Rect& r, std::string_view text, Align align);

}  // namespace kr::gui
