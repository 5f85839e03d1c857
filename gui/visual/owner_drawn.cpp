#include "gui/visual/owner_drawn.h"

namespace kr {

using namespace kr::gui;

CMyOwnerDrawn2::CMyOwnerDrawn2(std::unique_ptr<OwnerDrawn> drawn, std::uint32_t flags)
    : CVisualOb(nullptr, flags), drawn_(std::move(drawn)) {}

// Going without closing (the tree deleted): the control still hears of it.
CMyOwnerDrawn2::~CMyOwnerDrawn2() {
  if (IsOpen()) drawn_->Closing(*this);
}

void CMyOwnerDrawn2::Open() {
  CVisualOb::Open();
  drawn_->Opened(*this);
}

void CMyOwnerDrawn2::Close() {
  if (IsOpen()) drawn_->Closing(*this);
  CVisualOb::Close();
}

void CMyOwnerDrawn2::DrawSelf(DrawContext& dc) {
  ClipScope clip(dc, GetClientRect());  // the picture keeps to the area
  drawn_->Draw(*this, dc);
}

void CMyOwnerDrawn2::Refresh() {
  if (drawn_->Refresh(*this)) Invalidate();
}

void CMyOwnerDrawn2::OnLButtonDown(std::uint32_t flags, Point p) {
  SetCapture();
  drawn_->MouseDown(*this, p, flags);
  CVisualOb::OnLButtonDown(flags, p);
}

void CMyOwnerDrawn2::OnPointerMove(std::uint32_t flags, Point p) {
  if (HasCapture()) drawn_->MouseMove(*this, p, flags);
}

void CMyOwnerDrawn2::OnLButtonUp(std::uint32_t flags, Point p) {
  if (!HasCapture()) return;
  ReleaseCapture();
  drawn_->MouseUp(*this, p, flags);
}

void CMyOwnerDrawn2::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  if (!drawn_->KeyDown(*this, key, flags)) CVisualOb::OnKeyDown(key, repeat, flags);
}

void CMyOwnerDrawn2::OnKeyUp(int key, int repeat, std::uint32_t flags) {
  if (!drawn_->KeyUp(*this, key, flags)) CVisualOb::OnKeyUp(key, repeat, flags);
}

}  // namespace kr
