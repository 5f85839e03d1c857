// Text on the surface, rasterised from the DejaVu fonts compiled into the
// program (stb_truetype), so that it is the same on every system. Style
// faces map to three families (sans, mono, serif) with bold and oblique;
// sizes are character heights in pixels.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/draw/tile.h"

namespace kr::gui {

enum class FontFamily { Sans, Mono, Serif };

// The family a face name stands for: mono and serif names (Windows faces,
// the generic names, DejaVu's own) by name, anything else sans.
FontFamily FamilyOfFace(std::string_view face);
// The installed spelling of a family name ("dejavu sans" -> "DejaVu Sans";
// the Windows faces Arial, Courier New and Times New Roman are installed as
// themselves), for the style files.
std::optional<std::string> InstalledFamilyName(std::string_view name);

struct FontKey {
  FontFamily family = FontFamily::Sans;
  int size = 12;  // held to 1..256
  bool bold = false;
  bool italic = false;
  auto operator<=>(const FontKey&) const = default;
};

class Font {
 public:
  explicit Font(const FontKey& key);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  int Ascent() const { return ascent_; }   // baseline below the top, pixels
  int Height() const { return height_; }   // ascent + descent
  // The extent of a line of UTF-8 text.
  Size Measure(std::string_view text);
  // The average character size: of "8" and "M".
  Size AverageCharSize();
  // Draws a line of text with its top-left at (x, y); coverage blended in
  // linear light. Underlined when asked.
  void Draw(DrawContext& dc, int x, int y, std::string_view text, Pixel colour, bool underline = false);

 private:
  struct Glyph {
    int width = 0, height = 0, xoff = 0, yoff = 0, advance = 0;
    std::vector<std::uint8_t> coverage;
  };
  const Glyph& GlyphOf(char32_t c);

  struct Face;
  std::unique_ptr<Face> face_;
  float scale_ = 1;
  int ascent_ = 0, height_ = 0;
  std::map<char32_t, Glyph> glyphs_;
};

// Fonts by key, made on first use and kept (a panel uses a handful).
Font& GetFont(const FontKey& key);

}  // namespace kr::gui
