#include "gui/panel/panel_view.h"

#include <algorithm>

#include "document/document_file.h"
#include "gui/panel/populate.h"

namespace kr::gui {

PanelView::PanelView(StoredDocument& document, SkinRegistry& skins, PanelValues& values)
    : CVisualOb(nullptr, VF_NO_SCROLL), document_(document), skins_(skins), values_(values) {}

PanelView::~PanelView() = default;

Size HeldPanelSize(int storedWidth, int storedHeight, Size extent) {
  const int w = storedWidth > 0 ? storedWidth : extent.width;
  const int h = storedHeight > 0 ? storedHeight : extent.height;
  return {std::clamp(w, 1, kMaxPanelSide), std::clamp(h, 1, kMaxPanelSide)};
}

void PanelView::OpenPanel() {
  if (!document_.root) return;
  CVisualOb& panel = AddChild(MakeContainerPanel(*document_.root));
  // Open at the largest size first, so that every object finds its place;
  // then the extent of what stands on the panel is known.
  SetRectDirect({0, 0, kMaxPanelSide, kMaxPanelSide});
  panel.SetRect(GetRect());
  SetFlags(VF_OPEN);
  panel.Open();
  Rect extent{};
  for (const auto& c : panel.Children()) extent = extent.Union(c->GetRect());
  const Size size = HeldPanelSize(document_.settings.panelWidth, document_.settings.panelHeight,
                                  {std::max(extent.right, 0) + 8, std::max(extent.bottom, 0) + 8});
  SetRectDirect({0, 0, size.width, size.height});
  panel.SetRect(GetRect());
  invalid_ = GetRect();
}

void PanelView::PaintArea(const Rect& area, const TileOutput& output) {
  PaintTiles(area.Intersect(GetRect()), [this](DrawContext& dc) { Draw(dc); }, output);
}

void PanelView::InvalidateRect(const Rect& r) { invalid_ = invalid_.Union(r.Intersect(GetRect())); }

Rect PanelView::TakeInvalid() { return std::exchange(invalid_, Rect{}); }

}  // namespace kr::gui
