#include "gui/draw/font.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "base/embedded_blob.h"
#include "base/path_names.h"
#include "base/utf8.h"
#include "gui/draw/draw.h"

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

namespace kr::gui {

std::span<const kr::EmbeddedBlob> EmbeddedFonts();

namespace {

const char* FileOf(const FontKey& k) {
  static const char* const files[3][4] = {
      {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"},
      {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf", "DejaVuSansMono-BoldOblique.ttf"},
      {"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSerif-BoldItalic.ttf"}};
  return files[static_cast<int>(k.family)][(k.bold ? 1 : 0) + (k.italic ? 2 : 0)];
}

std::span<const std::uint8_t> FontBytes(const char* file) {
  for (const auto& blob : EmbeddedFonts())
    if (blob.name == file) return blob.bytes;
  return {};
}

struct FaceName {
  const char* name;
  FontFamily family;
};
constexpr FaceName kFaces[] = {
    {"DejaVu Sans", FontFamily::Sans},       {"DejaVu Sans Mono", FontFamily::Mono},
    {"DejaVu Serif", FontFamily::Serif},     {"Arial", FontFamily::Sans},
    {"Courier New", FontFamily::Mono},       {"Times New Roman", FontFamily::Serif},
};
constexpr FaceName kAliases[] = {
    {"monospace", FontFamily::Mono}, {"courier", FontFamily::Mono},       {"lucida console", FontFamily::Mono},
    {"consolas", FontFamily::Mono},  {"fixedsys", FontFamily::Mono},      {"terminal", FontFamily::Mono},
    {"serif", FontFamily::Serif},    {"times", FontFamily::Serif},        {"georgia", FontFamily::Serif},
    {"ms serif", FontFamily::Serif}, {"book antiqua", FontFamily::Serif}, {"garamond", FontFamily::Serif},
};

}  // namespace

FontFamily FamilyOfFace(std::string_view face) {
  for (const auto& f : kFaces)
    if (EqualsIgnoringCase(face, f.name)) return f.family;
  for (const auto& f : kAliases)
    if (EqualsIgnoringCase(face, f.name)) return f.family;
  return FontFamily::Sans;
}

std::optional<std::string> InstalledFamilyName(std::string_view name) {
  for (const auto& f : kFaces)
    if (EqualsIgnoringCase(name, f.name)) return std::string(f.name);
  return std::nullopt;
}

struct Font::Face {
  stbtt_fontinfo info{};
  bool ok = false;
};

Font::Font(const FontKey& key) : face_(std::make_unique<Face>()) {
  const auto bytes = FontBytes(FileOf(key));
  const int size = std::clamp(key.size, 1, 256);
  if (!bytes.empty() && stbtt_InitFont(&face_->info, bytes.data(), 0) != 0) {
    face_->ok = true;
    scale_ = stbtt_ScaleForMappingEmToPixels(&face_->info, static_cast<float>(size));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&face_->info, &ascent, &descent, &gap);
    ascent_ = static_cast<int>(std::ceil(ascent * scale_));
    height_ = ascent_ + static_cast<int>(std::ceil(-descent * scale_));
  }
}

Font::~Font() = default;

const Font::Glyph& Font::GlyphOf(char32_t c) {
  auto it = glyphs_.find(c);
  if (it != glyphs_.end()) return it->second;
  Glyph g;
  if (face_->ok) {
    const int index = stbtt_FindGlyphIndex(&face_->info, static_cast<int>(c));
    int advance = 0, bearing = 0;
    stbtt_GetGlyphHMetrics(&face_->info, index, &advance, &bearing);
    g.advance = static_cast<int>(std::floor(advance * scale_ + 0.5f));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetGlyphBitmapBox(&face_->info, index, scale_, scale_, &x0, &y0, &x1, &y1);
    g.width = std::max(0, x1 - x0);
    g.height = std::max(0, y1 - y0);
    g.xoff = x0;
    g.yoff = y0;
    if (g.width > 0 && g.height > 0) {
      g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
      stbtt_MakeGlyphBitmap(&face_->info, g.coverage.data(), g.width, g.height, g.width, scale_, scale_, index);
    }
  }
  return glyphs_.emplace(c, std::move(g)).first->second;
}

Size Font::Measure(std::string_view text) {
  int width = 0;
  std::size_t pos = 0;
  while (pos < text.size()) width += GlyphOf(utf8::Next(text, pos)).advance;
  return {width, height_};
}

Size Font::AverageCharSize() {
  const Size eight = Measure("8"), m = Measure("M");
  return {(eight.width + m.width) / 2, (eight.height + m.height) / 2};
}

void Font::Draw(DrawContext& dc, int x, int y, std::string_view text, Pixel colour, bool underline) {
  const Rect clip = dc.ClipBox();
  const int baseline = y + ascent_;
  int pen = x;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const Glyph& g = GlyphOf(utf8::Next(text, pos));
    const int gx = pen + g.xoff, gy = baseline + g.yoff;
    const Rect box = Rect{gx, gy, gx + g.width, gy + g.height}.Intersect(clip);
    for (int py = box.top; py < box.bottom; ++py)
      for (int px = box.left; px < box.right; ++px) {
        const int c = g.coverage[static_cast<std::size_t>(py - gy) * g.width + static_cast<std::size_t>(px - gx)];
        if (c != 0) dc.At(px, py) = BlendCoverage(dc.At(px, py), colour, c);
      }
    pen += g.advance;
  }
  if (underline) FillRect(dc, {x, baseline + 1, pen, baseline + 2}, colour);
}

Font& GetFont(const FontKey& key) {
  static std::map<FontKey, std::unique_ptr<Font>> fonts;
  FontKey k = key;
  k.size = std::clamp(k.size, 1, 256);
  auto& slot = fonts[k];
  if (!slot) slot = std::make_unique<Font>(k);
  return *slot;
}

}  // namespace kr::gui
