// Text in a skin style: the style's face, size, weight and slant, its colour
// and background, aligned in a rectangle.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/skin/skin_records.h"
#include "gui/draw/font.h"

namespace kr::gui {

enum class Align { Left, Centre, Right };

Font& FontOfStyle(const SkinFontInfo& style);
Align AlignOfStyle(const SkinFontInfo& style);

// One line of text in r, aligned, clipped to r; the background filled when
// background is 0x00BBGGRR (not negative).
void DrawTextLine(DrawContext& dc, const Rect& r, std::string_view text, const SkinFontInfo& style, Align align,
                  std::uint32_t colorRef, std::int32_t background);
// Text broken at spaces into lines no wider than width (a word wider than
// that stands on a line of its own); a new line also starts at each '\n'.
std::vector<std::string> WrapText(Font& font, std::string_view text, int width);
// Text broken into words to fit r's width, line under line.
void DrawTextWrapped(DrawContext& dc, const Rect& r, std::string_view text, const SkinFontInfo& style, Align align,
                     std::uint32_t colorRef);

}  // namespace kr::gui
