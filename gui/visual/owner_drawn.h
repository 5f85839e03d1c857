// Owner-drawn widgets: the area of a self-drawing control (the on-screen
// keyboard, the text console) whose picture, size and handling of the mouse
// and keys the control supplies through OwnerDrawn.
#pragma once

#include <memory>

#include "gui/visual/context_menu.h"
#include "gui/visual/visual_ob.h"

namespace kr {

namespace gui {

// What a self-drawing control does (points in the widget's coordinates).
class OwnerDrawn {
 public:
  virtual ~OwnerDrawn() = default;
  virtual Size PreferredSize() = 0;
  virtual void Draw(CVisualOb& widget, DrawContext& dc) = 0;
  virtual void MouseDown(CVisualOb& widget, Point p, std::uint32_t flags) {}
  virtual void MouseMove(CVisualOb& widget, Point p, std::uint32_t flags) {}
  virtual void MouseUp(CVisualOb& widget, Point p, std::uint32_t flags) {}
  // True when the key was taken.
  virtual bool KeyDown(CVisualOb& widget, int key, std::uint32_t flags) { return false; }
  virtual bool KeyUp(CVisualOb& widget, int key, std::uint32_t flags) { return false; }
  // A character typed (Tab is 9); true when taken (else Tab moves the focus).
  virtual bool Char(CVisualOb& widget, int ch, std::uint32_t flags) { return false; }
  // Context-menu items at a point, and the command chosen among them (true
  // when taken).
  virtual void AddMenuItems(CVisualOb& widget, ContextMenu& menu, Point p) {}
  virtual bool Command(CVisualOb& widget, int id) { return false; }
  // Values may have changed elsewhere: true when the picture changed.
  virtual bool Refresh(CVisualOb& widget) { return false; }
  // The widget opens (on the panel) or closes.
  virtual void Opened(CVisualOb& widget) {}
  virtual void Closing(CVisualOb& widget) {}
};

}  // namespace gui

// The painted owner-drawn area. The mouse is captured from press to release.
class CMyOwnerDrawn2 : public CVisualOb {
 public:
  explicit CMyOwnerDrawn2(std::unique_ptr<kr::gui::OwnerDrawn> drawn, std::uint32_t flags = 0);
  ~CMyOwnerDrawn2() override;
  kr::gui::OwnerDrawn& Drawn() { return *drawn_; }
  kr::gui::Size GetPreferredSize() override { return drawn_->PreferredSize(); }
  bool IsHitTarget() override { return true; }
  void Open() override;
  void Close() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  void Refresh() override;
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnPointerMove(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  void OnKeyUp(int key, int repeat, std::uint32_t flags) override;
  void OnChar(int ch, int repeat, std::uint32_t flags) override;
  void AddContextMenuItems(kr::gui::ContextMenu& menu, kr::gui::Point p) override;
  void OnCommand(int id, kr::gui::Point p) override;

 private:
  std::unique_ptr<kr::gui::OwnerDrawn> drawn_;
};

}  // namespace kr
