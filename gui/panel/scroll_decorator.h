// The scrolling frame around a sub-panel's container panel
// (ScrollDecorator). Our editor has no child windows, so it is a painted
// object: it offsets its panel's drawing and hits by the scroll position and
// draws its own bars over the right and bottom edges.
//
// "Scroll Bars" decides the bars: "Auto" shows a bar while the content
// overflows that axis or is scrolled on it, "Enable" always shows both,
// "None" shows none (the wheel still scrolls). Each bar is a track with a
// thumb: dragging the thumb moves the content, a press on the track pages
// towards it. The position starts where the container stores it for the
// panel view and is stored there on every scroll.
#pragma once

#include <array>
#include <memory>

#include "document/panel_objects.h"
#include "gui/visual/visual_ob.h"

namespace kr {

class CContainer;

namespace gui {

class ScrollDecorator final : public CVisualOb {
 public:
  static constexpr int kBarThickness = 12;
  static constexpr int kWheelNotch = 120;

  ScrollDecorator(CContainer& container, std::unique_ptr<CVisualOb> panel, ScrollBars bars);
  kr::gui::Point GetScrollOrigin() override { return position_; }
  // The content's size, with the bars "Enable" always shows.
  kr::gui::Size GetPreferredSize() override;
  void SetRect(const kr::gui::Rect& r) override;
  void Open() override;
  void OnChildResized(CVisualOb* child) override;
  void Refresh() override;
  void Draw(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  CVisualOb* HitTest(kr::gui::Point p, bool* marker) override;
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnPointerMove(std::uint32_t flags, kr::gui::Point p) override;
  bool OnMouseWheel(int delta) override;

  // Moves the content (clamped to what overflows) and stores the position.
  void ScrollTo(kr::gui::Point p);
  // The largest position on each axis: how far the content overflows.
  kr::gui::Size Overflow() const { return overflow_; }
  bool ShowsBar(int axis) const { return shown_[static_cast<std::size_t>(axis)]; }
  // The part of the decorator the content shows in (left of and above the bars).
  kr::gui::Rect Visible() const;
  // A bar's track and thumb (axis 0 horizontal, 1 vertical).
  kr::gui::Rect Track(int axis) const;
  kr::gui::Rect Thumb(int axis) const;

 private:
  void Layout();
  int PageStep(int axis) const;
  CContainer& container_;
  CVisualOb* panel_;
  ScrollBars bars_;
  kr::gui::Point position_{};
  kr::gui::Size content_{};
  kr::gui::Size overflow_{};
  std::array<bool, 2> shown_{};
  int dragAxis_ = -1;
  int dragFrom_ = 0;
  int dragStart_ = 0;
};

}  // namespace gui

}  // namespace kr
