// The few system colours panels use where no skin image covers them.
#pragma once

#include "gui/draw/geometry.h"

namespace kr::gui {

inline constexpr Pixel kWindowColour = Rgb(255, 255, 255);
inline constexpr Pixel kButtonFace = Rgb(240, 240, 240);
inline constexpr Pixel kButtonShadow = Rgb(160, 160, 160);
inline constexpr Pixel kGridLines = Rgb(200, 200, 200);
// The standard controls' own flat look: the field, its edge, and the edge
// of the field that has the keyboard focus.
inline constexpr Pixel kFieldBack = Rgb(24, 26, 30);
inline constexpr Pixel kFieldEdge = Rgb(96, 100, 112);
inline constexpr Pixel kFieldFocus = Rgb(150, 170, 220);
// Tooltips: the info background and its text.
inline constexpr Pixel kInfoBackground = Rgb(255, 255, 225);
inline constexpr Pixel kInfoText = Rgb(0, 0, 0);

}  // namespace kr::gui
