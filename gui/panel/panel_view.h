// The root of a panel's visual tree without a window: the document's root
// container's panel, sized as the document says, painted tile by tile. The
// editor window shows the same tree and hands the same tiles to the system.
#pragma once

#include <functional>
#include <memory>

#include "gui/draw/tile_painter.h"
#include "gui/panel/panel_values.h"
#include "gui/skin/skin.h"
#include "gui/visual/visual_ob.h"

struct StoredDocument;

namespace kr::gui {

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

 private:
  StoredDocument& document_;
  SkinRegistry& skins_;
  PanelValues& values_;
  Rect invalid_{};
};

// The document's panel size rule on its own: stored sizes of 0 or less take
// the content's extent, and both are held to 1..32767.
Size HeldPanelSize(int storedWidth, int storedHeight, Size contentExtent);

}  // namespace kr::gui
