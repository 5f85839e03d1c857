#include "gui/panel/panel_image.h"

#include <algorithm>

#include "formats/skin/png_codec.h"

namespace kr::gui {

namespace {

// Copies the painted part of finished tiles into an area's pixels.
TileOutput CopyInto(std::vector<Pixel>& out, const Rect& area) {
  return [&out, area](const Tile& tile, Point at, const Rect& painted) {
    const Rect r = painted.Intersect(area);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        out[static_cast<std::size_t>(y - area.top) * area.Width() + static_cast<std::size_t>(x - area.left)] =
            tile.pixels[static_cast<std::size_t>(y - at.y) * kTileSize + static_cast<std::size_t>(x - at.x)];
  };
}

}  // namespace

std::vector<Pixel> RenderPanelArea(PanelView& view, const Rect& area) {
  if (area.Empty()) return {};
  std::vector<Pixel> out(static_cast<std::size_t>(area.Width()) * static_cast<std::size_t>(area.Height()), 0);
  view.PaintArea(area, CopyInto(out, area));
  return out;
}

std::vector<std::uint8_t> RenderPanelPng(PanelView& view, int scale) {
  scale = std::clamp(scale, 1, 8);
  const Size size = view.PanelSize();
  skin::PngWriter png(size.width * scale, size.height * scale, false);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(scale) * 3);
  for (int top = 0; top < size.height; top += kTileSize) {
    const Rect band{0, top, size.width, std::min(size.height, top + kTileSize)};
    const std::vector<Pixel> pixels = RenderPanelArea(view, band);
    for (int y = 0; y < band.Height(); ++y) {
      for (int x = 0; x < size.width; ++x) {
        const Pixel p = pixels[static_cast<std::size_t>(y) * size.width + static_cast<std::size_t>(x)];
        for (int s = 0; s < scale; ++s) {
          std::uint8_t* o = &row[(static_cast<std::size_t>(x) * scale + s) * 3];
          o[0] = static_cast<std::uint8_t>(RedOf(p));
          o[1] = static_cast<std::uint8_t>(GreenOf(p));
          o[2] = static_cast<std::uint8_t>(BlueOf(p));
        }
      }
      for (int s = 0; s < scale; ++s)
        if (!png.WriteRow(row.data())) return {};
    }
  }
  return png.Finish();
}

}  // namespace kr::gui
