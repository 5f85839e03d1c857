// Visual objects: the tree a panel is made of. Each object has a rectangle in
// its parent's coordinates, children drawn back (tail) to front (head), and
// answers layout, drawing, invalidation and hit-test questions. Objects draw
// only through a kr::gui::DrawContext; none calls an OS interface.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/draw/geometry.h"
#include "gui/draw/tile.h"
#include "gui/visual/context_menu.h"
#include "gui/visual/file_choice.h"
#include "gui/visual/input_state.h"

namespace kr {

class CDocOb;

namespace gui {
class Skin;
class PanelValues;
}  // namespace gui

// Visual-object flags.
enum VisualFlags : std::uint32_t {
  VF_OPAQUE_BOX = 0x2,
  VF_CENTRE_H = 0x4,
  VF_OPEN = 0x8,
  VF_STRETCH_WIDTH = 0x10,
  VF_RESIZABLE = 0x20,
  VF_READ_ONLY = 0x40,
  VF_OWNED = 0x100,
  VF_MOVABLE = 0x200,
  VF_STRETCH_HEIGHT = 0x800,
  VF_TRANSPARENT_TO_HITS = 0x1000,
  VF_PARENT_MENU = 0x2000,
  VF_HAS_TOOLTIP = 0x4000,
  VF_FOCUS_ON_CLICK = 0x10000,
  VF_TOOLTIP_FROM_PARENT = 0x80000,
  VF_NO_SCROLL = 0x100000,
  VF_AUTO_SIZE = 0x200000,
};

class CVisualOb {
 public:
  explicit CVisualOb(CDocOb* doc = nullptr, std::uint32_t flags = 0) : doc_(doc), flags_(flags) {}
  virtual ~CVisualOb();
  CVisualOb(const CVisualOb&) = delete;
  CVisualOb& operator=(const CVisualOb&) = delete;

  // --- the tree ------------------------------------------------------------
  CVisualOb* Parent() const { return parent_; }
  // Children from the front (head) to the back (tail).
  const std::vector<std::unique_ptr<CVisualOb>>& Children() const { return children_; }
  CVisualOb& AddChild(std::unique_ptr<CVisualOb> child, bool atHead = false);
  std::unique_ptr<CVisualOb> RemoveChild(CVisualOb* child);
  CDocOb* GetDocObject() const { return doc_; }

  std::uint32_t Flags() const { return flags_; }
  bool Has(std::uint32_t f) const { return (flags_ & f) != 0; }
  void SetFlags(std::uint32_t f) { flags_ |= f; }
  void ClearFlags(std::uint32_t f) { flags_ &= ~f; }
  int tabIndex = -1;

  // --- asked of ancestors ----------------------------------------------------
  virtual kr::gui::Skin* GetSkin();
  virtual int GetViewKind();
  virtual kr::gui::PanelValues* GetValues();
  virtual kr::gui::Point GetScrollOrigin() { return {}; }
  virtual int GetLayer() { return 100; }

  // --- layout ----------------------------------------------------------------
  const kr::gui::Rect& GetRect() const { return rect_; }
  virtual void SetRect(const kr::gui::Rect& r);
  kr::gui::Rect GetClientRect() const { return {0, 0, rect_.Width(), rect_.Height()}; }
  virtual kr::gui::Size GetPreferredSize() { return {10, 10}; }
  // A child's size changed: auto-sizing objects follow their preferred size.
  virtual void OnChildResized(CVisualOb* child);

  // --- life ------------------------------------------------------------------
  bool IsOpen() const { return Has(VF_OPEN); }
  virtual void Open();
  virtual void Close();

  // --- drawing ---------------------------------------------------------------
  // DrawSelf, then the open children whose rectangles are visible, back to
  // front, each with the origin at its top-left corner.
  virtual void Draw(kr::gui::DrawContext& dc);
  virtual void DrawSelf(kr::gui::DrawContext&) {}
  // Marks this object's rectangle for repainting (while open).
  void Invalidate();
  // Marks a rectangle in this object's coordinates; passed up to the root.
  virtual void InvalidateRect(const kr::gui::Rect& r);

  // --- hit testing -----------------------------------------------------------
  virtual bool IsHitTarget() { return false; }
  // The object under a point given in this object's coordinates, or null.
  // marker: set when the point lies over an object that is not transparent.
  virtual CVisualOb* HitTest(kr::gui::Point p, bool* marker = nullptr);
  // This object's top-left corner in the root's coordinates.
  kr::gui::Point RootPosition() const;

  virtual std::string GetToolTipText();

  // --- mouse, keyboard, focus --------------------------------------------------
  // The input state of the view this object stands in (null outside a view).
  kr::gui::InputState* Input() const;
  // Points in this object's coordinates. The base press records the time
  // (a press within 200 ms of the last one is a double click instead) and
  // selects this object, which gives the focus on the way to the root.
  virtual void OnLButtonDown(std::uint32_t flags, kr::gui::Point p);
  // The base release lets go of the capture when this object holds it.
  virtual void OnLButtonUp(std::uint32_t flags, kr::gui::Point p);
  virtual void OnPointerMove(std::uint32_t flags, kr::gui::Point p) {}
  virtual void OnLButtonDblClk(std::uint32_t flags, kr::gui::Point p) {}
  // The mouse wheel over this object: passed up until an object scrolls;
  // true when one did.
  virtual bool OnMouseWheel(int delta) { return parent_ && parent_->OnMouseWheel(delta); }
  // The base key handlers pass keys on to the computer-keyboard receiver.
  virtual void OnKeyDown(int key, int repeat, std::uint32_t flags);
  virtual void OnKeyUp(int key, int repeat, std::uint32_t flags);
  // The base character handler moves the focus: Tab to the next object in
  // tab order, Shift+Tab to the previous one, Enter to the next.
  virtual void OnChar(int ch, int repeat, std::uint32_t flags);
  virtual bool TakesFocusOnClick() { return Has(VF_FOCUS_ON_CLICK); }
  // Gives the focus to the innermost object on the way up that takes it on
  // a click, or to the root.
  void Select(CVisualOb* child, bool takeFocus);
  virtual void SetFocus();
  virtual void OnKillFocus();
  // Moves the focus from this object to the next (previous when backward)
  // object in tab order: among the siblings with a tab index of 0 or more,
  // the nearest index above (below) this one's; else the same one level up
  // while the parent is in the tab order itself; else round to the smallest
  // (largest) index of the last level searched; else the nearest ancestor
  // that owns a window.
  void MoveFocus(bool backward);
  // The objects that own a window of their own (the view).
  virtual bool OwnsWindow() const { return false; }
  bool HasFocus() const;
  void SetCapture();
  void ReleaseCapture();
  bool HasCapture() const;
  // A menu command: passed up to the object that knows it (the root drops it).
  virtual void OnCommand(int id, kr::gui::Point p);
  // Adds this object's context-menu items (with flag 0x2000 the parent's);
  // the object that adds them receives the command chosen.
  virtual void AddContextMenuItems(kr::gui::ContextMenu& menu, kr::gui::Point p);
  // The document's about text (asked of the root), and showing it.
  virtual std::string AboutText();
  virtual void ShowAbout();
  // Asks the user for a file to open (the root asks); none when cancelled or
  // when nothing can ask.
  virtual std::optional<std::string> ChooseFile(const kr::gui::FileChoice& choice);
  // The system window the panel is shown in (asked of the root); null when
  // headless. Hosted plug-ins' editors open inside it.
  virtual void* NativeWindow();
  // Values may have changed elsewhere (host, program, audio side): widgets
  // read them again and repaint when what they show changed.
  virtual void Refresh();

 protected:
  void SetRectDirect(const kr::gui::Rect& r) { rect_ = r; }
  // Deletes every child (their input pointers are forgotten first).
  void DeleteChildren();
  // Set on the root of a view; every object below finds it through Input().
  kr::gui::InputState* input_ = nullptr;

 private:
  void ForgetSubtree(kr::gui::InputState& in) const;
  CDocOb* doc_;
  std::uint32_t flags_;
  CVisualOb* parent_ = nullptr;
  kr::gui::Rect rect_{};
  std::vector<std::unique_ptr<CVisualOb>> children_;
};

}  // namespace kr
