#include "gui/visual/owner_drawn.h"

#include "gui/visual/input_state.h"

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

void CMyOwnerDrawn2::OnChar(int ch, int repeat, std::uint32_t flags) {
  if (!drawn_->Char(*this, ch, flags)) CVisualOb::OnChar(ch, repeat, flags);
}

// The control's own items; without any, the box's.
void CMyOwnerDrawn2::AddContextMenuItems(ContextMenu& menu, Point p) {
  const std::size_t before = menu.size();
  drawn_->AddMenuItems(*this, menu, p);
  if (menu.size() == before) return CVisualOb::AddContextMenuItems(menu, p);
  if (InputState* in = Input()) in->contextMenuObject = this;
}

void CMyOwnerDrawn2::OnCommand(int id, Point p) {
  if (!drawn_->Command(*this, id)) CVisualOb::OnCommand(id, p);
}

}  // namespace kr
