#include "gui/panel/scroll_decorator.h"

#include <algorithm>

#include "document/container.h"
#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"

namespace kr::gui {

namespace {

constexpr Pixel kTrack = Rgb(224, 224, 224);
constexpr Pixel kThumb = kButtonShadow;
constexpr int kMinThumb = 8;
constexpr std::size_t kPanelSlot = 0;  // the container's scroll position for the panel view

int Along(Point p, int axis) { return axis == 0 ? p.x : p.y; }
int Along(Size s, int axis) { return axis == 0 ? s.width : s.height; }

}  // namespace

ScrollDecorator::ScrollDecorator(CContainer& container, std::unique_ptr<CVisualOb> panel, ScrollBars bars)
    : CVisualOb(nullptr, VF_STRETCH_WIDTH | VF_OWNED | VF_STRETCH_HEIGHT), container_(container), bars_(bars) {
  // A stored position is only a wish: negative ones and ones past the
  // content are held in on layout.
  const DocPoint stored = container.scrollPositions[kPanelSlot];
  position_ = {std::max(0, static_cast<int>(std::min(stored.x, Rect::kFar))),
               std::max(0, static_cast<int>(std::min(stored.y, Rect::kFar)))};
  panel_ = &AddChild(std::move(panel));
}

Size ScrollDecorator::GetPreferredSize() {
  Layout();
  const int bar = bars_ == ScrollBars::kEnable ? kBarThickness : 0;
  return {content_.width + bar, content_.height + bar};
}

void ScrollDecorator::SetRect(const Rect& r) {
  CVisualOb::SetRect(r);
  Layout();
}

void ScrollDecorator::Open() {
  CVisualOb::Open();
  Layout();
}

void ScrollDecorator::OnChildResized(CVisualOb*) { Layout(); }

void ScrollDecorator::Refresh() {
  CVisualOb::Refresh();
  Layout();
}

void ScrollDecorator::Layout() {
  Rect used{};
  for (const auto& c : panel_->Children()) used = used.Union(c->GetRect());
  content_ = {std::max(0, used.right), std::max(0, used.bottom)};
  const Size area = GetRect().GetSize();
  // A bar takes room from the other axis, which may then need its own.
  shown_ = {bars_ == ScrollBars::kEnable, bars_ == ScrollBars::kEnable};
  if (bars_ == ScrollBars::kAuto)
    for (int pass = 0; pass < 2; ++pass)
      for (int axis = 0; axis < 2; ++axis) {
        const int room = Along(area, axis) - (shown_[1 - axis] ? kBarThickness : 0);
        shown_[axis] = Along(content_, axis) > room || Along(position_, axis) != 0;
      }
  const Rect visible = Visible();
  overflow_ = {std::max(0, content_.width - visible.Width()), std::max(0, content_.height - visible.Height())};
  const Point held{std::clamp(position_.x, 0, overflow_.width), std::clamp(position_.y, 0, overflow_.height)};
  if (held != position_) {
    position_ = held;
    Invalidate();
  }
  const Rect panel{0, 0, std::max(content_.width, visible.Width()), std::max(content_.height, visible.Height())};
  if (panel != panel_->GetRect()) panel_->SetRect(panel);
}

Rect ScrollDecorator::Visible() const {
  const Rect all = GetClientRect();
  return {0, 0, std::max(0, all.right - (shown_[1] ? kBarThickness : 0)),
          std::max(0, all.bottom - (shown_[0] ? kBarThickness : 0))};
}

Rect ScrollDecorator::Track(int axis) const {
  if (!ShowsBar(axis)) return {};
  const Rect v = Visible();
  return axis == 0 ? Rect{0, v.bottom, v.right, v.bottom + kBarThickness}
                   : Rect{v.right, 0, v.right + kBarThickness, v.bottom};
}

Rect ScrollDecorator::Thumb(int axis) const {
  const Rect track = Track(axis);
  const int length = Along(track.GetSize(), axis);
  if (length <= 0) return {};
  const int visible = Along(Visible().GetSize(), axis);
  const int overflow = Along(overflow_, axis);
  const int total = visible + overflow;
  const int thumb = total > 0 ? std::clamp(length * visible / total, std::min(kMinThumb, length), length) : length;
  const int at = overflow > 0 ? (length - thumb) * Along(position_, axis) / overflow : 0;
  return axis == 0 ? Rect{track.left + at, track.top, track.left + at + thumb, track.bottom}
                   : Rect{track.left, track.top + at, track.right, track.top + at + thumb};
}

int ScrollDecorator::PageStep(int axis) const {
  // The bar's page is a quarter of the overflow; a step is one pixel less.
  return std::max(1, Along(overflow_, axis) / 4 - 1);
}

void ScrollDecorator::ScrollTo(Point p) {
  const Point held{std::clamp(p.x, 0, overflow_.width), std::clamp(p.y, 0, overflow_.height)};
  if (held == position_) return;
  position_ = held;
  container_.scrollPositions[kPanelSlot] = {position_.x, position_.y};
  Layout();
  Invalidate();
}

void ScrollDecorator::Draw(DrawContext& dc) {
  {
    ClipScope clip(dc, Visible());
    CVisualOb::Draw(dc);
  }
  for (int axis = 0; axis < 2; ++axis) {
    if (!ShowsBar(axis)) continue;
    FillRect(dc, Track(axis), kTrack);
    FillRect(dc, Thumb(axis), kThumb);
  }
  if (ShowsBar(0) && ShowsBar(1)) {
    const Rect v = Visible();
    FillRect(dc, {v.right, v.bottom, v.right + kBarThickness, v.bottom + kBarThickness}, kButtonFace);
  }
}

CVisualOb* ScrollDecorator::HitTest(Point p, bool* marker) {
  if (!GetClientRect().Contains(p)) return nullptr;
  if (!Visible().Contains(p)) {
    if (marker) *marker = true;
    return this;  // the bars
  }
  return CVisualOb::HitTest(p, marker);
}

void ScrollDecorator::OnLButtonDown(std::uint32_t flags, Point p) {
  for (int axis = 0; axis < 2; ++axis) {
    if (!Track(axis).Contains(p)) continue;
    const Rect thumb = Thumb(axis);
    if (thumb.Contains(p)) {
      dragAxis_ = axis;
      dragFrom_ = Along(p, axis);
      dragStart_ = Along(position_, axis);
      SetCapture();
      return;
    }
    const int towards = Along(p, axis) < Along(thumb.TopLeft(), axis) ? -1 : 1;
    Point to = position_;
    (axis == 0 ? to.x : to.y) += towards * PageStep(axis);
    return ScrollTo(to);
  }
  CVisualOb::OnLButtonDown(flags, p);
}

void ScrollDecorator::OnPointerMove(std::uint32_t, Point p) {
  if (!HasCapture() || dragAxis_ < 0) return;
  const int axis = dragAxis_;
  const int free = Along(Track(axis).GetSize(), axis) - Along(Thumb(axis).GetSize(), axis);
  if (free <= 0) return;
  Point to = position_;
  (axis == 0 ? to.x : to.y) = dragStart_ + (Along(p, axis) - dragFrom_) * Along(overflow_, axis) / free;
  ScrollTo(to);
}

bool ScrollDecorator::OnMouseWheel(int delta) {
  if (overflow_.height <= 0 && position_.y == 0) return CVisualOb::OnMouseWheel(delta);
  ScrollTo({position_.x, position_.y - delta});
  return true;
}

}  // namespace kr::gui
