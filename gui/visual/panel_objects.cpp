#include "gui/visual/panel_objects.h"

#include "document/container.h"
#include "document/panel_objects.h"
#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"

namespace kr {

using namespace kr::gui;

// --- CMyView -------------------------------------------------------------------

CMyView::CMyView(CContainer& container)
    : CVisualOb(&container, VF_STRETCH_WIDTH | VF_OWNED | VF_STRETCH_HEIGHT | VF_FOCUS_ON_CLICK),
      container_(container) {}

Skin* CMyView::GetSkin() {
  Skin* parentSkin = CVisualOb::GetSkin();
  if (!parentSkin) return nullptr;
  // The container's own skin, found through the registry that holds the parent's.
  return container_.skinName.empty() ? parentSkin : &parentSkin->Registry().GetSkin(container_.skinName);
}

void CMyView::Open() {
  if (Skin* s = GetSkin()) background_ = s->GetImage("background");
  CVisualOb::Open();
}

void CMyView::AddContextMenuItems(ContextMenu& menu, Point) {
  if (InputState* in = Input()) in->contextMenuObject = this;
  if (!AboutText().empty()) menu.push_back({kCommandAbout, "About..."});
}

void CMyView::OnCommand(int id, Point p) {
  if (id == kCommandAbout) ShowAbout();
  else CVisualOb::OnCommand(id, p);
}

void CMyView::DrawSelf(DrawContext& dc) {
  ClipScope keep(dc, GetClientRect());  // a sub-panel's background stays in its place
  const Rect clip = dc.ClipBox();
  if (!background_) {
    FillRect(dc, clip, kWindowColour);
    return;
  }
  const kr::skin::SkinPixels& px = background_->pixels;
  const int w = px.width, h = px.height;
  if (background_->descriptor.code != 0) {  // one copy at the top-left, the rest in the window colour
    DrawLinear(dc, px, 0, 0, w, h, 0, 0);
    FillRect(dc, {std::max(clip.left, w), clip.top, clip.right, clip.bottom}, kWindowColour);
    FillRect(dc, {clip.left, std::max(clip.top, h), std::min(clip.right, w), clip.bottom}, kWindowColour);
    return;
  }
  auto floorTo = [](int v, int step) { return v >= 0 ? v / step * step : -((-v + step - 1) / step) * step; };
  for (int y = floorTo(clip.top, h); y < clip.bottom; y += h)
    for (int x = floorTo(clip.left, w); x < clip.right; x += w) DrawLinear(dc, px, x, y, w, h, 0, 0);
}

// --- CPanelBoxWnd ----------------------------------------------------------------

CPanelBoxWnd::CPanelBoxWnd(CPanelBox2& box) : CVisualOb(&box, VF_RESIZABLE | VF_OWNED | VF_MOVABLE), box_(box) {
  SetRectDirect(Rect::FromDoc(box.rect));
}

void CPanelBoxWnd::Open() {
  if (Skin* s = GetSkin()) lines_ = s->GetImage("lines");
  CVisualOb::Open();
}

int CPanelBoxWnd::Stroke() const {
  return lines_ ? std::clamp(lines_->descriptor.count, 1, lines_->descriptor.frameHeight) : 1;
}

Rect CPanelBoxWnd::FrameRect() {
  Skin* s = GetSkin();
  const SkinFontInfo& style = s ? s->GetStyle("panel_group") : Skin::DefaultStyle();
  const int quarter = FontOfStyle(style).Height() / 4;
  const Rect c = GetClientRect();
  return {c.left, c.top + quarter, c.right, c.bottom};
}

void CPanelBoxWnd::DrawSelf(DrawContext& dc) {
  Skin* s = GetSkin();
  const SkinFontInfo& style = s ? s->GetStyle("panel_group") : Skin::DefaultStyle();
  const Rect f = FrameRect();
  Font& font = FontOfStyle(style);
  const int titleWidth = box_.caption.empty() ? 0 : font.Measure(box_.caption).width;
  if (lines_) {
    // The "lines" image is a 3 x 3 grid of cells: corners, edges, an unused middle.
    const auto& px = lines_->pixels;
    const int c = lines_->descriptor.frameHeight;
    const int cw = lines_->descriptor.frameWidth;
    const int stroke = Stroke();
    const int gapLeft = f.left + 2 * stroke + cw - 2, gapRight = gapLeft + titleWidth + 4;
    DrawLinear(dc, px, f.left, f.top, cw, c, 0, 0);
    DrawLinear(dc, px, f.right - cw, f.top, cw, c, 2 * cw, 0);
    DrawLinear(dc, px, f.left, f.bottom - c, cw, c, 0, 2 * c);
    DrawLinear(dc, px, f.right - cw, f.bottom - c, cw, c, 2 * cw, 2 * c);
    for (int x = f.left + cw; x < f.right - cw; x += cw) {
      const int w = std::min(cw, f.right - cw - x);
      if (titleWidth == 0 || x + w <= gapLeft || x >= gapRight) {
        DrawLinear(dc, px, x, f.top, w, c, cw, 0);
      } else {  // the part of the top edge outside the title's gap
        if (x < gapLeft) DrawLinear(dc, px, x, f.top, gapLeft - x, c, cw, 0);
        if (x + w > gapRight) DrawLinear(dc, px, gapRight, f.top, x + w - gapRight, c, cw + (gapRight - x), 0);
      }
      DrawLinear(dc, px, x, f.bottom - c, w, c, cw, 2 * c);
    }
    for (int y = f.top + c; y < f.bottom - c; y += c) {
      const int h = std::min(c, f.bottom - c - y);
      DrawLinear(dc, px, f.left, y, cw, h, 0, c);
      DrawLinear(dc, px, f.right - cw, y, cw, h, 2 * cw, c);
    }
  } else {
    kr::gui::FrameRect(dc, f, kButtonShadow);
  }
  if (titleWidth > 0) {
    const int x = f.left + 2 * Stroke() + (lines_ ? lines_->descriptor.frameWidth : 0);
    DrawTextLine(dc, {x, 0, x + titleWidth, font.Height()}, box_.caption, style, Align::Left,
                 static_cast<std::uint32_t>(style.colour), -1);
  }
}

CVisualOb* CPanelBoxWnd::HitTest(Point p, bool* marker) {
  const Rect f = FrameRect();
  const Rect inner = f.Inset(Stroke());
  if (!f.Contains(p) || inner.Contains(p)) return nullptr;
  if (marker) *marker = true;
  return this;
}

}  // namespace kr
