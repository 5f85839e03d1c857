#include "gui/panel/wave_shape_editor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "gui/panel/curve_drawing.h"

namespace kr::gui {

namespace {
constexpr int kLastShapePoint = dsp::ShapePoints::kCount - 1;
// Volts as the text shows them: float noise rounded off, never "-0.0".
double ShownVolts(double v) {
  v = std::round(v * 1.0e6) / 1.0e6;
  return v == 0.0 ? 0.0 : v;
}
}  // namespace

std::string WaveShapeEditor::PointText(int index) const {
  const auto i = static_cast<std::size_t>(index);
  char pair[64];
  std::snprintf(pair, sizeof pair, "%3.1f,%3.1f", ShownVolts(points_.x[i] * 0.1 - 5.0), ShownVolts(5.0 - points_.y[i] * 0.1));
  return pair;
}

std::string WaveShapeEditor::Text() const {
  std::string text;
  for (int k = 0; k <= kLastShapePoint; ++k) {
    text += '(';
    text += PointText(k);
    text += ')';
  }
  return text;
}

Point WaveShapeEditor::PointAt(int index) const {
  const auto i = static_cast<std::size_t>(index);
  return {PixelOf(points_.x[i] * Width() / 100.0), PixelOf(points_.y[i] * Height() / 100.0)};
}

int WaveShapeEditor::HitPoint(Point p) const {
  for (int k = 0; k <= kLastShapePoint; ++k) {
    const Point at = PointAt(k);
    if (p.x >= at.x - 3 && p.x < at.x + 3 && p.y >= at.y - 3 && p.y < at.y + 3) return k;
  }
  return -1;
}

bool WaveShapeEditor::Press(Point p) {
  last_ = p;
  dragged_ = HitPoint(p);
  return dragged_ >= 0;
}

bool WaveShapeEditor::Move(Point p) {
  const Point last = std::exchange(last_, p);
  if (dragged_ < 0) return false;
  const auto i = static_cast<std::size_t>(dragged_);
  float& x = points_.x[i];
  float& y = points_.y[i];
  x += static_cast<float>((p.x - last.x) / (Width() * 0.02));
  y += static_cast<float>((p.y - last.y) / (Height() * 0.02));
  if (dragged_ == 0) x = 0.0f;
  else if (dragged_ == kLastShapePoint) x = 100.0f;
  else {
    x = std::max(x, points_.x[i - 1] + 1.0f);  // the lower limit first, then the upper
    x = std::min(x, points_.x[i + 1] - 1.0f);
  }
  y = std::clamp(y, 0.0f, 100.0f);
  return true;
}

}  // namespace kr::gui
