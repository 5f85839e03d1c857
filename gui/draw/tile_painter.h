// The tile loop: an area of a panel is painted through one 128 x 128 tile,
// tile by tile, and each finished tile is handed to an output (a window blit,
// a PNG row band). Tiles start at the area's top-left corner rounded down to
// a multiple of 4; the pixels of a tile outside the area are not painted.
#pragma once

#include <functional>

#include "gui/draw/tile.h"

namespace kr::gui {

// Paints into the context (whose clip is the part of the area on this tile).
using PaintFunction = std::function<void(DrawContext& dc)>;
// Receives a finished tile: tileAt is the panel position of its pixel (0, 0),
// painted the panel area it holds.
using TileOutput = std::function<void(const Tile& tile, Point tileAt, const Rect& painted)>;

void PaintTiles(const Rect& area, const PaintFunction& paint, const TileOutput& output);

// Rounds down to a multiple of 4 (towards minus infinity).
constexpr int SnapDown4(int v) { return v >= 0 ? v & ~3 : -((-v + 3) & ~3); }

}  // namespace kr::gui
