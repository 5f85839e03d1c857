#include "gui/panel/wave_shape_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "document/plug2.h"
#include "gui/panel/curve_drawing.h"
#include "gui/panel/panel_values.h"

namespace kr::gui {

namespace {


}  // namespace

std::vector<double> WaveShapePanel::FormulaCurve(int width) {
  const std::string text = seen_.empty() ? std::string(dsp::kDefaultFormula) : seen_;
  std::vector<double> volts;
  const double w = std::max(width, 1);
  for (int i = 0; i < width; ++i) volts.push_back(evaluator_.Evaluate(text, (i - w / 2) * 10.0 / (0.95 * w)));
  return volts;
}

void WaveShapePanel::DrawAxes(CVisualOb& widget, DrawContext& dc, const Rect& c) {
  const double s = formula_ ? 0.95 : 1.0;
  const int w = c.Width(), h = c.Height();
  const int midX = c.left + w / 2, midY = c.top + h / 2;
  DrawLine(dc, c.left, midY, c.right - 1, midY, kCurveGrid);
  DrawLine(dc, midX, c.top, midX, c.bottom - 1, kCurveGrid);
  DrawLine(dc, c.left, c.bottom - 1, c.right - 1, c.top, kCurveGrid);
  // A tick every volt; long ones at 0 and +-5 V.
  for (int v = -10; v <= 10; v += 2) {
    const int reach = v == 0 || v == 10 || v == -10 ? 4 : 2;
    const int x = midX + static_cast<int>(v * (w / 2.0) * s * 0.1);
    const int y = midY - static_cast<int>(v * (h / 2.0) * s * 0.1);
    DrawLine(dc, x, midY - reach, x, midY + reach, kCurveGrid);
    DrawLine(dc, midX - reach, y, midX + reach, y, kCurveGrid);
  }
  const int labelHeight = CurveLabelHeight(widget);
  for (int volts : {-5, -3, 1, 3, 5}) {
    const int y = midY - static_cast<int>(volts * (h / 2.0) * s * 0.2);
    DrawCurveLabel(widget, dc, {midX + 6, y - labelHeight / 2, c.right, y - labelHeight / 2 + labelHeight},
                   FormatNumber("%2.0f", volts), Align::Left);
  }
  for (int volts : {-4, -2, 0, 2, 4}) {
    const int x = midX + static_cast<int>(volts * (w / 2.0) * s * 0.2);
    DrawCurveLabel(widget, dc, {x - 12, midY + 5, x + 12, midY + 5 + labelHeight}, FormatNumber("%2.0f", volts), Align::Centre);
  }
}

void WaveShapePanel::DrawPoints(CVisualOb& widget, DrawContext& dc, const Rect& c) {
  for (int k = 0; k < dsp::ShapePoints::kCount; ++k) {
    const Point at = editor_.PointAt(k);
    if (k > 0) {
      const Point from = editor_.PointAt(k - 1);
      DrawLine(dc, c.left + from.x, c.top + from.y, c.left + at.x, c.top + at.y, kCurveLine);
    }
    DrawPointSquare(dc, c.left + at.x, c.top + at.y, kCurveLine);
  }
  if (const int k = editor_.Dragged(); k >= 0)
    DrawCurveLabel(widget, dc, {c.left + 2, c.top + 1, c.right, c.top + 1 + CurveLabelHeight(widget)},
                   editor_.PointText(k), Align::Left);
}

void WaveShapePanel::DrawFormula(DrawContext& dc, const Rect& c) {
  const std::vector<double> volts = FormulaCurve(c.Width());
  const double midY = c.top + c.Height() / 2.0;
  const double pixelsPerVolt = c.Height() * 0.095;  // +-5 V covers 95 % of the height
  for (std::size_t i = 1; i < volts.size(); ++i) {
    if (!std::isfinite(volts[i - 1]) || !std::isfinite(volts[i])) continue;
    const int x = c.left + static_cast<int>(i);
    DrawLine(dc, x - 1, PixelOf(midY - volts[i - 1] * pixelsPerVolt), x, PixelOf(midY - volts[i] * pixelsPerVolt), kCurveLine);
  }
}

void WaveShapePanel::Draw(CVisualOb& widget, DrawContext& dc) {
  const Rect c = widget.GetClientRect();
  editor_.SetSize(c.GetSize());
  FillRect(dc, c, kCurveBack);
  DrawAxes(widget, dc, c);
  if (formula_) DrawFormula(dc, c);
  else DrawPoints(widget, dc, c);
}

void WaveShapePanel::MouseDown(CVisualOb& widget, Point p, std::uint32_t) {
  if (formula_) return;  // a formula has no points to drag
  editor_.SetSize(widget.GetClientRect().GetSize());
  if (editor_.Press(p)) widget.Invalidate();
}

void WaveShapePanel::MouseMove(CVisualOb& widget, Point p, std::uint32_t) {
  if (formula_) return;
  editor_.SetSize(widget.GetClientRect().GetSize());
  if (!editor_.Move(p)) return;
  seen_ = editor_.Text();
  ValuesOf(widget).SetPlugValue(shape_, seen_);
  widget.Invalidate();
}

void WaveShapePanel::MouseUp(CVisualOb& widget, Point, std::uint32_t) {
  if (editor_.Dragged() < 0) return;
  editor_.Release();
  widget.Invalidate();
}

bool WaveShapePanel::Refresh(CVisualOb& widget) {
  if (editor_.Dragged() >= 0) return false;
  std::string now = ValuesOf(widget).PlugValue(shape_);
  if (now == seen_) return false;
  seen_ = std::move(now);
  if (!formula_) editor_.SetText(seen_);
  return true;
}

}  // namespace kr::gui
