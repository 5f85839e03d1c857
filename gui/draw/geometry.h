// Rectangles, points and pixels of the drawing surface. Pixels are 32-bit
// 0x00RRGGBB (in memory B, G, R, X: what a 32-bit Windows DIB and a 24-bit
// X11 image hold).
#pragma once

#include <algorithm>
#include <cstdint>

#include "formats/archive/geometry.h"

namespace kr::gui {

using Pixel = std::uint32_t;

constexpr Pixel Rgb(int r, int g, int b) {
  return (static_cast<Pixel>(r & 0xFF) << 16) | (static_cast<Pixel>(g & 0xFF) << 8) | static_cast<Pixel>(b & 0xFF);
}
// Skin styles and Windows colour values are 0x00BBGGRR: red in the low byte.
constexpr Pixel FromColorRef(std::uint32_t bbggrr) {
  return ((bbggrr & 0xFF) << 16) | (bbggrr & 0xFF00) | ((bbggrr >> 16) & 0xFF);
}
constexpr int RedOf(Pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int GreenOf(Pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int BlueOf(Pixel p) { return static_cast<int>(p & 0xFF); }

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  // Document rectangles are held to +-2^20, so that no sum of them overflows.
  static constexpr int kFar = 1 << 20;
  static Rect FromDoc(const DocRect& r) {
    auto hold = [](std::int32_t v) { return std::clamp<int>(v, -kFar, kFar); };
    return {hold(r.left), hold(r.top), hold(r.right), hold(r.bottom)};
  }
  static Rect At(Point p, Size s) { return {p.x, p.y, p.x + s.width, p.y + s.height}; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  Size GetSize() const { return {Width(), Height()}; }
  Point TopLeft() const { return {left, top}; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect Inset(int d) const { return {left + d, top + d, right - d, bottom - d}; }
  Rect Intersect(const Rect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
  }
  // The smallest rectangle holding both; an empty one adds nothing.
  Rect Union(const Rect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
  }
  bool Intersects(const Rect& o) const { return !Intersect(o).Empty(); }
  bool operator==(const Rect&) const = default;
};

}  // namespace kr::gui
