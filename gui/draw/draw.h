// Drawing on the surface: rectangles, lines, and skin images blitted with
// their transparency. Everything is in logical coordinates and clipped to
// the context's clip; source rectangles are clipped to the image.
#pragma once

#include "formats/skin/skin_pixels.h"
#include "gui/draw/tile.h"

namespace kr::gui {

void FillRect(DrawContext& dc, const Rect& r, Pixel colour);
// A one-pixel frame just inside r.
void FrameRect(DrawContext& dc, const Rect& r, Pixel colour);
// The pixels from (x0, y0) to (x1, y1), both ends included (Bresenham).
void DrawLine(DrawContext& dc, int x0, int y0, int x1, int y1, Pixel colour);

// Blits of a w x h block of an image from (sx, sy) to (x, y):
// DrawLinear blends a partly transparent pixel as s + ((d - s) * T >> 8);
// DrawGamma blends in linear light; both skip invisible pixels (T = 255) and
// copy opaque ones. DrawCoverage paints a coverage map in one colour
// (0x00BBGGRR, as skin styles give colours), blending in linear light.
void DrawLinear(DrawContext& dc, const skin::SkinPixels& image, int x, int y, int w, int h, int sx, int sy);
void DrawGamma(DrawContext& dc, const skin::SkinPixels& image, int x, int y, int w, int h, int sx, int sy);
void DrawCoverage(DrawContext& dc, const skin::SkinPixels& image, int x, int y, int w, int h, int sx, int sy,
                  std::uint32_t colorRef);

// One coverage value (0..255) of a colour over a pixel, in linear light.
Pixel BlendCoverage(Pixel under, Pixel colour, int coverage);

}  // namespace kr::gui
