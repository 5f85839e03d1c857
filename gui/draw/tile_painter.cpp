#include "gui/draw/tile_painter.h"

namespace kr::gui {

void PaintTiles(const Rect& area, const PaintFunction& paint, const TileOutput& output) {
  if (area.Empty()) return;
  Tile tile;
  for (int y = SnapDown4(area.top); y < area.bottom; y += kTileSize) {
    for (int x = SnapDown4(area.left); x < area.right; x += kTileSize) {
      const int w = std::min(kTileSize, area.right - x);
      const int h = std::min(kTileSize, area.bottom - y);
      const Rect clip{std::max(x, area.left), std::max(y, area.top), x + w, y + h};
      DrawContext dc(tile, {x, y}, clip);
      paint(dc);
      output(tile, {x, y}, clip);
    }
  }
}

}  // namespace kr::gui
