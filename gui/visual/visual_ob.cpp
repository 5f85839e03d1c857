#include "gui/visual/visual_ob.h"

#include <algorithm>

#include "platform/platform.h"

namespace kr {

using namespace kr::gui;

CVisualOb::~CVisualOb() {
  // Children go before their parents' input pointer does, so the view's
  // state is still reachable here.
  if (InputState* in = Input()) in->Forget(this);
}

std::uint32_t kr::gui::SystemMilliseconds() { return platform::MilliSeconds(); }

void CVisualOb::ForgetSubtree(InputState& in) const {
  in.Forget(this);
  for (const auto& c : children_) c->ForgetSubtree(in);
}

void CVisualOb::DeleteChildren() {
  if (InputState* in = Input())
    for (const auto& c : children_) c->ForgetSubtree(*in);
  children_.clear();
}

InputState* CVisualOb::Input() const {
  const CVisualOb* o = this;
  while (o->parent_) o = o->parent_;
  return o->input_;
}

void CVisualOb::OnLButtonDown(std::uint32_t flags, Point p) {
  InputState* in = Input();
  if (!in) return;
  const std::uint32_t now = in->Now();
  if (in->lastPressMs && now - *in->lastPressMs < kDoubleClickMs) {
    OnLButtonDblClk(flags, p);
    return;
  }
  in->lastPressMs = now;
  if (parent_) parent_->Select(this, true);
  else Select(this, true);
}

void CVisualOb::OnLButtonUp(std::uint32_t, Point) {
  if (HasCapture()) ReleaseCapture();
}

void CVisualOb::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  InputState* in = Input();
  if (in && in->keyboardReceiver && in->keyboardReceiver != this) in->keyboardReceiver->OnKeyDown(key, repeat, flags);
}

void CVisualOb::OnKeyUp(int key, int repeat, std::uint32_t flags) {
  InputState* in = Input();
  if (in && in->keyboardReceiver && in->keyboardReceiver != this) in->keyboardReceiver->OnKeyUp(key, repeat, flags);
}

void CVisualOb::Select(CVisualOb* child, bool takeFocus) {
  if (takeFocus && child && child != this && child->TakesFocusOnClick()) {
    child->SetFocus();
    takeFocus = false;
  }
  if (parent_) parent_->Select(this, takeFocus);
  else if (takeFocus) SetFocus();
}

void CVisualOb::SetFocus() {
  InputState* in = Input();
  if (!in || in->focus == this) return;
  if (in->focus) in->focus->OnKillFocus();
  in->focus = this;
}

void CVisualOb::OnKillFocus() {
  if (InputState* in = Input(); in && in->focus == this) in->focus = nullptr;
}

void CVisualOb::OnChar(int ch, int, std::uint32_t flags) {
  if (ch == kKeyTab) MoveFocus((flags & kShift) != 0);
  else if (ch == kKeyEnter) MoveFocus(false);
}

void CVisualOb::MoveFocus(bool backward) {
  // Is a above b in the direction of the move?
  const auto beyond = [backward](int a, int b) { return backward ? a < b : a > b; };
  CVisualOb* current = this;
  CVisualOb* wrapTo = nullptr;
  while (CVisualOb* parent = current->parent_) {
    CVisualOb* next = nullptr;
    wrapTo = nullptr;
    for (const auto& c : parent->children_) {
      const int t = c->tabIndex;
      if (t < 0) continue;
      if (beyond(t, current->tabIndex) && (!next || beyond(next->tabIndex, t))) next = c.get();
      if (!wrapTo || beyond(wrapTo->tabIndex, t)) wrapTo = c.get();
    }
    if (next) return next->SetFocus();
    if (parent->tabIndex < 0) break;
    current = parent;
  }
  CVisualOb* window = parent_;
  while (window && !window->OwnsWindow() && window->parent_) window = window->parent_;
  if (!window) window = this;
  if (!wrapTo) return window->SetFocus();
  // Round to the object that has the focus already: it goes away and comes
  // back, so that the object sees the change.
  if (wrapTo->HasFocus()) window->SetFocus();
  wrapTo->SetFocus();
}

bool CVisualOb::HasFocus() const {
  const InputState* in = Input();
  return in && in->focus == this;
}

void CVisualOb::SetCapture() {
  if (InputState* in = Input()) in->capture = this;
}

void CVisualOb::ReleaseCapture() {
  if (InputState* in = Input(); in && in->capture == this) in->capture = nullptr;
}

bool CVisualOb::HasCapture() const {
  const InputState* in = Input();
  return in && in->capture == this;
}

void CVisualOb::OnCommand(int id, Point p) {
  if (parent_) parent_->OnCommand(id, {p.x + rect_.left, p.y + rect_.top});
}

void CVisualOb::AddContextMenuItems(ContextMenu& menu, Point p) {
  if (Has(VF_PARENT_MENU) && parent_) return parent_->AddContextMenuItems(menu, {p.x + rect_.left, p.y + rect_.top});
  if (!doc_) return;
  if (InputState* in = Input()) in->contextMenuObject = this;
}

std::string CVisualOb::AboutText() { return parent_ ? parent_->AboutText() : std::string(); }
void CVisualOb::ShowAbout() {
  if (parent_) parent_->ShowAbout();
}

std::optional<std::string> CVisualOb::ChooseFile(const FileChoice& choice) {
  return parent_ ? parent_->ChooseFile(choice) : std::nullopt;
}

void* CVisualOb::NativeWindow() { return parent_ ? parent_->NativeWindow() : nullptr; }

void CVisualOb::Refresh() {
  for (auto& c : children_)
    if (c->IsOpen()) c->Refresh();
}

CVisualOb& CVisualOb::AddChild(std::unique_ptr<CVisualOb> child, bool atHead) {
  CVisualOb& added = *child;
  added.parent_ = this;
  if (atHead) children_.insert(children_.begin(), std::move(child));
  else children_.push_back(std::move(child));
  return added;
}

std::unique_ptr<CVisualOb> CVisualOb::RemoveChild(CVisualOb* child) {
  for (auto it = children_.begin(); it != children_.end(); ++it) {
    if (it->get() != child) continue;
    std::unique_ptr<CVisualOb> out = std::move(*it);
    children_.erase(it);
    if (InputState* in = Input()) out->ForgetSubtree(*in);
    out->parent_ = nullptr;
    return out;
  }
  return nullptr;
}

Skin* CVisualOb::GetSkin() { return parent_ ? parent_->GetSkin() : nullptr; }
int CVisualOb::GetViewKind() { return parent_ ? parent_->GetViewKind() : 0; }
PanelValues* CVisualOb::GetValues() { return parent_ ? parent_->GetValues() : nullptr; }

void CVisualOb::SetRect(const Rect& r) {
  if (r == rect_) return;
  const Rect old = rect_;
  rect_ = r;
  if (IsOpen() && parent_) parent_->InvalidateRect(old.Union(r));
}

void CVisualOb::OnChildResized(CVisualOb*) {
  if (!Has(VF_AUTO_SIZE)) return;
  const Size s = GetPreferredSize();
  const Rect r{rect_.left, rect_.top, rect_.left + s.width, rect_.top + s.height};
  if (r == rect_) return;
  SetRect(r);
  if (parent_) parent_->OnChildResized(this);
}

void CVisualOb::Open() {
  SetFlags(VF_OPEN);
  for (auto& c : children_)
    if (!c->IsOpen()) c->Open();
  Invalidate();
}

void CVisualOb::Close() {
  if (!IsOpen()) return;
  Invalidate();
  for (auto& c : children_) c->Close();
  ClearFlags(VF_OPEN);
}

void CVisualOb::Draw(DrawContext& dc) {
  DrawSelf(dc);
  const Point s = GetScrollOrigin();
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    CVisualOb& c = **it;
    // Children stand in scrolled coordinates.
    if (!c.IsOpen() || !dc.Visible(c.GetRect().Offset(-s.x, -s.y))) continue;
    OriginShift shift(dc, c.GetRect().left - s.x, c.GetRect().top - s.y);
    c.Draw(dc);
  }
}

void CVisualOb::Invalidate() {
  if (IsOpen() && parent_) parent_->InvalidateRect(rect_);
}

void CVisualOb::InvalidateRect(const Rect& r) {
  if (!IsOpen() || !parent_) return;
  const Point s = GetScrollOrigin();
  parent_->InvalidateRect(r.Offset(rect_.left - s.x, rect_.top - s.y));
}

CVisualOb* CVisualOb::HitTest(Point p, bool* marker) {
  const Point s = GetScrollOrigin();
  const Point inner{p.x + s.x, p.y + s.y};
  bool childMarker = false;
  for (auto& c : children_) {
    if (!c->IsOpen() || !c->GetRect().Contains(inner)) continue;
    const Rect cr = c->GetRect();
    if (CVisualOb* hit = c->HitTest({inner.x - cr.left, inner.y - cr.top}, &childMarker)) return hit;
  }
  if (!GetClientRect().Contains(p)) return nullptr;
  const bool transparent = Has(VF_TRANSPARENT_TO_HITS);
  const bool callerHadMarker = marker && *marker;
  if (marker && (childMarker || !transparent)) *marker = true;
  if (transparent && !childMarker && !callerHadMarker) return nullptr;
  return IsHitTarget() ? this : nullptr;
}

Point CVisualOb::RootPosition() const {
  Point p{};
  for (const CVisualOb* o = this; o->parent_; o = o->parent_) {
    const Point s = o->parent_->GetScrollOrigin();
    p.x += o->rect_.left - s.x;
    p.y += o->rect_.top - s.y;
  }
  return p;
}

std::string CVisualOb::GetToolTipText() {
  return Has(VF_TOOLTIP_FROM_PARENT) && parent_ ? parent_->GetToolTipText() : std::string();
}

}  // namespace kr
