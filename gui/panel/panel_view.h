// The root of a panel's visual tree without a window: the document's root
// container's panel, sized as the document says, painted tile by tile. The
// editor window shows the same tree and hands the same tiles to the system.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "gui/draw/tile_painter.h"
#include "gui/panel/panel_values.h"
#include "gui/skin/skin.h"
#include "gui/visual/visual_ob.h"

namespace kr {

struct StoredDocument;

namespace gui {

inline constexpr int kMaxPanelSide = 32767;

class PanelView : public CVisualOb {
 public:
  // The document, skins and values are the caller's and outlive the view.
  PanelView(StoredDocument& document, SkinRegistry& skins, PanelValues& values);
  ~PanelView() override;

  // Builds and opens the root container's panel. The panel size is the
  // document's; a size of 0 (or less) takes the extent of what the panel
  // shows, and every size is held to 1..32767.
  void OpenPanel();
  Size PanelSize() const { return GetRect().GetSize(); }

  Skin* GetSkin() override { return &skins_.GetSkin("default"); }
  int GetViewKind() override { return kPanelView; }
  PanelValues* GetValues() override { return &values_; }

  // Paints an area (panel coordinates) through the tile loop.
  void PaintArea(const Rect& area, const TileOutput& output);
  void Paint(DrawContext& dc) { Draw(dc); }

  // Invalidation collects here: the union of what needs repainting.
  void InvalidateRect(const Rect& r) override;
  Rect TakeInvalid();

  // The object under a panel point, or null.
  CVisualOb* HitTestAt(Point p) { return HitTest(p, nullptr); }

  // Closes the panel and deletes its tree; OpenPanel builds a fresh one.
  void ClosePanel();

  // --- input, in panel coordinates ------------------------------------------------
  // A press goes to the object under the point (the panel itself on empty
  // space); moves and the release go to the object holding the capture
  // wherever the pointer is, else to the object under the pointer. An open
  // drop-down list takes every press and key.
  void MouseDown(Point p, std::uint32_t flags);
  void MouseMove(Point p, std::uint32_t flags);
  void MouseUp(Point p, std::uint32_t flags);
  // The wheel turned over p (120 per notch away from the user).
  void MouseWheel(Point p, int delta);
  // Keys go to the focus object, or to the view's own handlers (which pass
  // them to the computer-keyboard receiver).
  void KeyDown(int key, std::uint32_t flags, int repeat = 1);
  void KeyUp(int key, std::uint32_t flags, int repeat = 1);
  void Char(int ch, std::uint32_t flags, int repeat = 1);
  // The context-menu button at a point: the object there adds its items
  // (ignored while an object holds the capture); the menu shows over the
  // panel at the point until an item is clicked or a press lands outside.
  void ContextMenuAt(Point p);
  const ContextMenu& Menu() const { return menu_; }
  // Sends a command of the open menu to the object that made it, then
  // closes the menu.
  void ChooseCommand(int id);
  bool AboutShown() const { return aboutShown_; }
  std::string AboutText() override;
  void ShowAbout() override;
  // Browse buttons ask here; the editor hands in the system's file dialog.
  void SetFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
  std::optional<std::string> ChooseFile(const FileChoice& choice) override;
  // The editor's window while it shows this view.
  void SetNativeWindow(void* window) { nativeWindow_ = window; }
  void* NativeWindow() override { return nativeWindow_; }
  void Draw(DrawContext& dc) override;
  // The view owns the window: a Tab with nothing else in reach stops here.
  bool OwnsWindow() const override { return true; }
  void OnChar(int, int, std::uint32_t) override {}

  // --- tooltips -------------------------------------------------------------------
  // The tip of the object under the pointer shows once the pointer has rested
  // over it for kTooltipDelayMs (checked here, from the editor's idle); while
  // a tip shows, the pointer crossing into another object replaces it at
  // once. Leaving the object, a press, a context menu or closing hides it.
  void Idle();
  // The pointer left the window.
  void MouseLeave();
  bool TooltipShown() const { return inputState_.tooltipShown; }
  const std::string& TooltipText() const { return tooltipText_; }
  // Where the tip is drawn (panel coordinates; empty while none shows).
  Rect TooltipRect() const { return tooltipRect_; }
  // The tool at a panel point: the object hit there when it has a tooltip.
  CVisualOb* ToolAt(Point p);

  InputState& State() { return inputState_; }
  // The clock presses are timed by (the system's unless set).
  void SetClock(Clock clock) { inputState_.clock = std::move(clock); }

 private:
  // A point of the panel in an object's own coordinates.
  static Point ToObject(const CVisualOb& ob, Point p);
  CVisualOb* MouseTarget(Point p);
  Rect MenuRect() const;
  Rect AboutRect() const;
  void CloseOverlays();
  // Deletes the drop-down lists that have closed (after each input call).
  void DropClosedLists();
  void TrackTooltip(Point p);
  void ShowTooltip();
  void HideTooltip();
  void DrawTooltip(DrawContext& dc);

  StoredDocument& document_;
  SkinRegistry& skins_;
  PanelValues& values_;
  Rect invalid_{};
  InputState inputState_;
  ContextMenu menu_;
  bool aboutShown_ = false;
  std::string tooltipText_;
  Rect tooltipRect_{};
  Point pointer_{};
  FileChooser fileChooser_;
  void* nativeWindow_ = nullptr;
};

// The document's panel size rule on its own: stored sizes of 0 or less take
// the content's extent, and both are held to 1..32767.
Size HeldPanelSize(int storedWidth, int storedHeight, Size contentExtent);

}  // namespace gui

}  // namespace kr
