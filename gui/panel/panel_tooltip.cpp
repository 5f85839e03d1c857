// The view's tooltips: drawn over the panel by the view itself, so that they
// look the same in every window system and without one.
#include <algorithm>

#include "gui/draw/draw.h"
#include "gui/draw/font.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"
#include "gui/panel/panel_view.h"

namespace kr::gui {

namespace {
// Tips wider than this break into lines.
constexpr int kTipWidth = 128;
constexpr int kTipPad = 3;
// The tip stands this far below the pointer (under the cursor's arrow).
constexpr int kTipBelow = 20;
}  // namespace

CVisualOb* PanelView::ToolAt(Point p) {
  CVisualOb* hit = HitTestAt(p);
  if (!hit || !hit->Has(VF_HAS_TOOLTIP)) return nullptr;
  const Point at = hit->RootPosition();
  return Rect::At(at, hit->GetRect().GetSize()).Contains(p) ? hit : nullptr;
}

void PanelView::TrackTooltip(Point p) {
  // No tips during a drag or over a menu or the about box.
  const bool quiet = inputState_.capture || !menu_.empty() || aboutShown_;
  CVisualOb* tool = quiet ? nullptr : ToolAt(p);
  if (tool == inputState_.tooltipObject) {
    if (!inputState_.tooltipShown) pointer_ = p;
    return;
  }
  const bool wasShown = inputState_.tooltipShown;
  HideTooltip();
  inputState_.ForgetTooltip();
  pointer_ = p;
  if (!tool) return;
  inputState_.tooltipObject = tool;
  inputState_.tooltipSinceMs = inputState_.Now();
  // Crossing from one tip into another object replaces it at once.
  if (wasShown) ShowTooltip();
}

void PanelView::Idle() {
  if (!IsOpen()) return;
  // The object of a tip that shows went away with its tree: so does the tip.
  if (!inputState_.tooltipShown && !tooltipRect_.Empty()) HideTooltip();
  const auto since = inputState_.tooltipSinceMs;
  if (inputState_.tooltipObject && !inputState_.tooltipShown && since &&
      inputState_.Now() - *since >= kTooltipDelayMs)
    ShowTooltip();
}

void PanelView::MouseLeave() {
  HideTooltip();
  inputState_.ForgetTooltip();
}

void PanelView::ShowTooltip() {
  CVisualOb* tool = inputState_.tooltipObject;
  inputState_.tooltipSinceMs.reset();
  if (!tool) return;
  tooltipText_ = tool->GetToolTipText();
  if (tooltipText_.empty()) return;
  Font& font = FontOfStyle(Skin::DefaultStyle());
  const std::vector<std::string> lines = WrapText(font, tooltipText_, kTipWidth);
  int width = 0;
  for (const std::string& l : lines) width = std::max(width, font.Measure(l).width);
  const Rect view = GetRect();
  const int w = std::min(width + 2 * kTipPad, view.Width());
  const int h = std::min(static_cast<int>(lines.size()) * font.Height() + 2 * kTipPad, view.Height());
  // Below the pointer, or above it when there is no room below; held inside
  // the view.
  int x = std::min(pointer_.x, view.right - w);
  int y = pointer_.y + kTipBelow;
  if (y + h > view.bottom) y = pointer_.y - h - 2;
  x = std::max(x, view.left);
  y = std::max(view.top, std::min(y, view.bottom - h));
  tooltipRect_ = Rect::At({x, y}, {w, h});
  inputState_.tooltipShown = true;
  InvalidateRect(tooltipRect_);
}

void PanelView::HideTooltip() {
  if (!tooltipRect_.Empty()) InvalidateRect(tooltipRect_);
  tooltipRect_ = {};
  inputState_.tooltipShown = false;
}

void PanelView::DrawTooltip(DrawContext& dc) {
  if (!inputState_.tooltipShown || tooltipRect_.Empty()) return;
  const Rect r = tooltipRect_;
  FillRect(dc, r, kInfoBackground);
  FrameRect(dc, r, kInfoText);
  const SkinFontInfo& style = Skin::DefaultStyle();
  ClipScope clip(dc, r.Inset(1));
  Font& font = FontOfStyle(style);
  int y = r.top + kTipPad;
  for (const std::string& l : WrapText(font, tooltipText_, kTipWidth)) {
    font.Draw(dc, r.left + kTipPad, y, l, kInfoText);
    y += font.Height();
  }
}

}  // namespace kr::gui
