#include "gui/draw/draw.h"

#include <cstdlib>

#include "gui/draw/linear_light.h"

namespace kr::gui {

namespace {

// The part of a w x h blit at (x, y) from (sx, sy) that lies inside both the
// clip and the image; false when nothing does.
struct Blit {
  int x, y, w, h, sx, sy;
};

bool ClipBlit(const DrawContext& dc, const skin::SkinPixels& image, Blit& b) {
  if (image.Empty() || b.w <= 0 || b.h <= 0) return false;
  // Source first: the image.
  if (b.sx < 0) { b.x -= b.sx; b.w += b.sx; b.sx = 0; }
  if (b.sy < 0) { b.y -= b.sy; b.h += b.sy; b.sy = 0; }
  b.w = std::min(b.w, image.width - b.sx);
  b.h = std::min(b.h, image.height - b.sy);
  // Then the destination: the clip box.
  const Rect clip = dc.ClipBox();
  if (b.x < clip.left) { const int d = clip.left - b.x; b.x += d; b.sx += d; b.w -= d; }
  if (b.y < clip.top) { const int d = clip.top - b.y; b.y += d; b.sy += d; b.h -= d; }
  b.w = std::min(b.w, clip.right - b.x);
  b.h = std::min(b.h, clip.bottom - b.y);
  return b.w > 0 && b.h > 0;
}

int Channel(Pixel p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

Pixel GammaMix(Pixel source, Pixel dest, int weight) {  // weight of dest, 0..16384
  const LinearLight& ll = LinearLight::Get();
  Pixel out = 0;
  for (int shift : {16, 8, 0}) {
    const int s = ll.ToLinear(Channel(source, shift));
    const int d = ll.ToLinear(Channel(dest, shift));
    out |= static_cast<Pixel>(ll.FromLinear(s + weight * (d - s) / 16384)) << shift;
  }
  return out;
}

}  // namespace

void FillRect(DrawContext& dc, const Rect& r, Pixel colour) {
  const Rect c = r.Intersect(dc.ClipBox());
  for (int y = c.top; y < c.bottom; ++y)
    for (int x = c.left; x < c.right; ++x) dc.At(x, y) = colour;
}

void FrameRect(DrawContext& dc, const Rect& r, Pixel colour) {
  if (r.Empty()) return;
  FillRect(dc, {r.left, r.top, r.right, r.top + 1}, colour);
  FillRect(dc, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
  FillRect(dc, {r.left, r.top + 1, r.left + 1, r.bottom - 1}, colour);
  FillRect(dc, {r.right - 1, r.top + 1, r.right, r.bottom - 1}, colour);
}

void DrawLine(DrawContext& dc, int x0, int y0, int x1, int y1, Pixel colour) {
  const Rect clip = dc.ClipBox();
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (clip.Contains({x0, y0})) dc.At(x0, y0) = colour;
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

void DrawLinear(DrawContext& dc, const skin::SkinPixels& image, int x, int y, int w, int h, int sx, int sy) {
  Blit b{x, y, w, h, sx, sy};
  if (image.mode != skin::PixelMode::Colour || !ClipBlit(dc, image, b)) return;
  for (int j = 0; j < b.h; ++j)
    for (int i = 0; i < b.w; ++i) {
      const std::uint32_t s = image.ColourAt(b.sx + i, b.sy + j);
      const int t = static_cast<int>(s >> 24);
      if (t == 255) continue;
      Pixel& d = dc.At(b.x + i, b.y + j);
      if (t == 0) {
        d = s & 0x00FFFFFF;
        continue;
      }
      Pixel out = 0;
      for (int shift : {16, 8, 0}) {
        const int sc = Channel(s, shift), dcv = Channel(d, shift);
        out |= static_cast<Pixel>((sc + ((dcv - sc) * t >> 8)) & 0xFF) << shift;
      }
      d = out;
    }
}

void DrawGamma(DrawContext& dc, const skin::SkinPixels& image, int x, int y, int w, int h, int sx, int sy) {
  Blit b{x, y, w, h, sx, sy};
  if (image.mode != skin::PixelMode::Colour || !ClipBlit(dc, image, b)) return;
  for (int j = 0; j < b.h; ++j)
    for (int i = 0; i < b.w; ++i) {
      const std::uint32_t s = image.ColourAt(b.sx + i, b.sy + j);
      const int t = static_cast<int>(s >> 24);
      if (t == 255) continue;
      Pixel& d = dc.At(b.x + i, b.y + j);
      d = t == 0 ? (s & 0x00FFFFFF) : GammaMix(s & 0x00FFFFFF, d, (t * 16384 + 127) / 255);
    }
}

Pixel BlendCoverage(Pixel under, Pixel colour, int coverage) {
  if (coverage >= 255) return colour;
  if (coverage <= 0) return under;
  return GammaMix(colour, under, ((255 - coverage) * 16384 + 127) / 255);
}

void DrawCoverage(DrawContext& dc, const skin::SkinPixels& image, int x, int y, int w, int h, int sx, int sy,
                  std::uint32_t colorRef) {
  Blit b{x, y, w, h, sx, sy};
  if (image.mode != skin::PixelMode::Coverage || !ClipBlit(dc, image, b)) return;
  const Pixel colour = FromColorRef(colorRef);
  for (int j = 0; j < b.h; ++j)
    for (int i = 0; i < b.w; ++i) {
      const int c = image.CoverageAt(b.sx + i, b.sy + j);
      if (c == 0) continue;
      Pixel& d = dc.At(b.x + i, b.y + j);
      d = BlendCoverage(d, colour, c);
    }
}

}  // namespace kr::gui
