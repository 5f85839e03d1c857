// The drawing surface: one 128 x 128 tile of 32-bit pixels, and the context
// that panel objects draw through. A panel is painted tile by tile (see
// tile_painter.h); objects draw in their own (logical) coordinates, which the
// context's origin places on the panel, and only inside its clip.
#pragma once

#include <array>

#include "gui/draw/geometry.h"

namespace kr::gui {

inline constexpr int kTileSize = 128;

// Pixels in rows from the top.
struct Tile {
  std::array<Pixel, kTileSize * kTileSize> pixels{};
};

class DrawContext {
 public:
  // tileAt: the panel position of the tile's pixel (0, 0); clip: the panel
  // area that may be drawn (held to the tile).
  DrawContext(Tile& tile, Point tileAt, const Rect& clip)
      : tile_(tile), tileAt_(tileAt), clip_(clip.Intersect(Rect::At(tileAt, {kTileSize, kTileSize}))) {}

  // Where logical (0, 0) lies on the panel (the viewport origin).
  Point Origin() const { return origin_; }
  void SetOrigin(Point p) { origin_ = p; }
  // The clip in logical coordinates.
  Rect ClipBox() const { return clip_.Offset(-origin_.x, -origin_.y); }
  // The clip in panel coordinates.
  const Rect& PanelClip() const { return clip_; }
  void SetPanelClip(const Rect& r) { clip_ = r; }
  bool Visible(const Rect& logical) const { return logical.Intersects(ClipBox()); }

  // The tile pixel of a logical point inside the clip box.
  Pixel& At(int x, int y) {
    return tile_.pixels[static_cast<std::size_t>(y + origin_.y - tileAt_.y) * kTileSize +
                        static_cast<std::size_t>(x + origin_.x - tileAt_.x)];
  }

 private:
  Tile& tile_;
  Point tileAt_;
  Rect clip_;
  Point origin_{};
};

// Moves the origin by (dx, dy) for a scope.
class OriginShift {
 public:
  OriginShift(DrawContext& dc, int dx, int dy) : dc_(dc), saved_(dc.Origin()) {
    dc.SetOrigin({saved_.x + dx, saved_.y + dy});
  }
  ~OriginShift() { dc_.SetOrigin(saved_); }
  OriginShift(const OriginShift&) = delete;
  OriginShift& operator=(const OriginShift&) = delete;

 private:
  DrawContext& dc_;
  Point saved_;
};

// Narrows the clip to a logical rectangle for a scope.
class ClipScope {
 public:
  ClipScope(DrawContext& dc, const Rect& logical) : dc_(dc), saved_(dc.PanelClip()) {
    dc.SetPanelClip(saved_.Intersect(logical.Offset(dc.Origin().x, dc.Origin().y)));
  }
  ~ClipScope() { dc_.SetPanelClip(saved_); }
  ClipScope(const ClipScope&) = delete;
  ClipScope& operator=(const ClipScope&) = delete;

 private:
  DrawContext& dc_;
  Rect saved_;
};

}  // namespace kr::gui
