// A panel as a picture: its pixels, or a PNG file written band by band (one
// row of tiles at a time, so memory does not grow with the panel's height).
#pragma once

#include <cstdint>
#include <vector>

#include "gui/panel/panel_view.h"

namespace kr::gui {

// The pixels (0x00RRGGBB, rows from the top) of an area of the panel.
std::vector<Pixel> RenderPanelArea(PanelView& view, const Rect& area);

// The whole panel as an RGB PNG, each pixel scale x scale (scale 1..8).
std::vector<std::uint8_t> RenderPanelPng(PanelView& view, int scale = 1);

}  // namespace kr::gui
