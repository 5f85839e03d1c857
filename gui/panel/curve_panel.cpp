#include "gui/panel/curve_panel.h"

#include <algorithm>
#include <cmath>

#include "document/cug.h"
#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/widgets.h"

namespace kr::gui {

namespace {
constexpr Pixel kCurveColour = Rgb(120, 210, 130);
constexpr float kGridStepDb = 12.0f;
}  // namespace

int CurvePanel::RowOf(float db, int height) const {
  if (!std::isfinite(db)) db = bottomDb_;
  const float t = std::clamp((topDb_ - db) / (topDb_ - bottomDb_), 0.0f, 1.0f);
  return static_cast<int>(std::lround(t * static_cast<float>(std::max(height - 1, 0))));
}

bool CurvePanel::Refresh(CVisualOb& widget) {
  std::vector<float> now = ValuesOf(widget).Curve(module_);
  if (now == values_) return false;
  values_ = std::move(now);
  return true;
}

void CurvePanel::Draw(CVisualOb& widget, DrawContext& dc) {
  const Rect c = widget.GetClientRect();
  FillRect(dc, c, kFieldBack);
  const int height = c.bottom - c.top;
  const int width = c.right - c.left;
  for (float db = topDb_; db >= bottomDb_; db -= kGridStepDb) {
    const int y = c.top + RowOf(db, height);
    DrawLine(dc, c.left, y, c.right - 1, y, kFieldEdge);
  }
  const auto n = static_cast<int>(values_.size());
  if (n == 0 || width <= 1) return;
  int lastX = c.left, lastY = c.top + RowOf(values_[0], height);
  for (int i = 0; i < n; ++i) {
    const int x = c.left + (n == 1 ? 0 : i * (width - 1) / (n - 1));
    const int y = c.top + RowOf(values_[static_cast<std::size_t>(i)], height);
    DrawLine(dc, lastX, lastY, x, y, kCurveColour);
    lastX = x;
    lastY = y;
  }
}

}  // namespace kr::gui
