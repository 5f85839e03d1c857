// What the "WaveShaper" editor does, apart from drawing: its 11 points in
// display units (x = (input volts + 5) * 10, y = (5 - output volts) * 10),
// read from and written to the "shape" text, and dragging one of them at
// half the mouse's speed. The first point stays at -5 V in and the last at
// +5 V, every other one at least 1 unit from its neighbours. Pictures of
// any size, even 0 pixels, are safe.
#pragma once

#include <string>
#include <string_view>

#include "dsp/shaper_curve.h"
#include "gui/draw/geometry.h"

namespace kr::gui {

class WaveShapeEditor {
 public:
  WaveShapeEditor() { SetText({}); }

  // Only the first 11 pairs count; points a short text lacks are those of
  // the straight line, which an empty text is.
  void SetText(std::string_view text) { points_ = dsp::ParseShapePoints(text); }
  // "(%3.1f,%3.1f)" per point: input and output volts.
  std::string Text() const;
  // One point's "input,output" volts ("%3.1f,%3.1f").
  std::string PointText(int index) const;
  const dsp::ShapePoints& Points() const { return points_; }
  int Dragged() const { return dragged_; }

  void SetSize(Size size) { size_ = size; }
  Point PointAt(int index) const;
  // The lowest-numbered point whose 6 x 6 box, centred on it, holds p.
  int HitPoint(Point p) const;
  // True when a point was taken.
  bool Press(Point p);
  // True when the dragged point moved (the text is then new).
  bool Move(Point p);
  void Release() { dragged_ = -1; }

 private:
  double Width() const { return size_.width > 1 ? size_.width : 1.0; }
  double Height() const { return size_.height > 1 ? size_.height : 1.0; }

  dsp::ShapePoints points_;
  int dragged_ = -1;
  Point last_{};
  Size size_{100, 100};
};

}  // namespace kr::gui
