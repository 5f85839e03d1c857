#include "gui/draw/text.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "formats/skin/style_file.h"
#include "gui/draw/draw.h"

namespace kr::gui {

Font& FontOfStyle(const SkinFontInfo& style) {
  FontKey key;
  key.family = FamilyOfFace(style.face);
  key.size = std::abs(style.size) == 0 ? 12 : std::abs(style.size);
  // No light face is shipped: light is the regular weight (and wins over bold).
  key.bold = (style.flags & skin::kStyleBold) != 0 && (style.flags & skin::kStyleLight) == 0;
  key.italic = (style.flags & skin::kStyleItalic) != 0;
  return GetFont(key);
}

Align AlignOfStyle(const SkinFontInfo& style) {
  if (style.flags & skin::kStyleCentre) return Align::Centre;
  if (style.flags & skin::kStyleRight) return Align::Right;
  return Align::Left;
}

namespace {

int AlignedX(const Rect& r, int width, Align align) {
  switch (align) {
    case Align::Centre: return r.left + (r.Width() - width) / 2;
    case Align::Right: return r.right - width;
    default: return r.left;
  }
}

}  // namespace

void DrawTextLine(DrawContext& dc, const Rect& r, std::string_view text, const SkinFontInfo& style, Align align,
                  std::uint32_t colorRef, std::int32_t background) {
  ClipScope clip(dc, r);
  if (background >= 0) FillRect(dc, r, FromColorRef(static_cast<std::uint32_t>(background)));
  Font& font = FontOfStyle(style);
  const int width = font.Measure(text).width;
  font.Draw(dc, AlignedX(r, width, align), r.top, text, FromColorRef(colorRef),
            (style.flags & skin::kStyleUnderline) != 0);
}

std::vector<std::string> WrapText(Font& font, std::string_view text, int width) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t end = std::min(text.find_first_of(" \n", pos), text.size());
    const std::string word(text.substr(pos, end - pos));
    const std::string joined = line.empty() ? word : line + " " + word;
    if (!line.empty() && font.Measure(joined).width > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = joined;
    }
    if (end < text.size() && text[end] == '\n') {
      lines.push_back(line);
      line.clear();
    }
    pos = end + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void DrawTextWrapped(DrawContext& dc, const Rect& r, std::string_view text, const SkinFontInfo& style, Align align,
                     std::uint32_t colorRef) {
  ClipScope clip(dc, r);
  Font& font = FontOfStyle(style);
  const std::vector<std::string> lines = WrapText(font, text, r.Width());
  int y = r.top;
  for (const std::string& l : lines) {
    if (y >= r.bottom) break;
    font.Draw(dc, AlignedX(r, font.Measure(l).width, align), y, l, FromColorRef(colorRef),
              (style.flags & skin::kStyleUnderline) != 0);
    y += font.Height();
  }
}

}  // namespace kr::gui
