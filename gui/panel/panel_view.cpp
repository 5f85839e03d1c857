#include "gui/panel/panel_view.h"

#include <algorithm>

#include "document/document_file.h"
#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"
#include "gui/panel/populate.h"

namespace kr::gui {

namespace {
constexpr int kMenuWidth = 120, kMenuRow = 18, kMenuPad = 3;
}  // namespace

PanelView::PanelView(StoredDocument& document, SkinRegistry& skins, PanelValues& values)
    : CVisualOb(nullptr, VF_NO_SCROLL), document_(document), skins_(skins), values_(values) {
  input_ = &inputState_;
}

// The tree goes while the input state it reports to still exists.
PanelView::~PanelView() {
  ClosePanel();
  input_ = nullptr;
}

void PanelView::ClosePanel() {
  CloseOverlays();
  HideTooltip();
  tooltipText_.clear();
  Close();
  DeleteChildren();
  inputState_.Clear();
  invalid_ = {};
}

Point PanelView::ToObject(const CVisualOb& ob, Point p) {
  const Point at = ob.RootPosition();
  return {p.x - at.x, p.y - at.y};
}

CVisualOb* PanelView::MouseTarget(Point p) {
  if (inputState_.capture) return inputState_.capture;
  return HitTestAt(p);
}

void PanelView::MouseDown(Point p, std::uint32_t flags) {
  if (!IsOpen()) return;
  inputState_.modifiers = flags & (kShift | kControl);
  // A press puts the tip away; the tool is spent until the pointer crosses
  // into another object.
  HideTooltip();
  inputState_.tooltipSinceMs.reset();
  // An open menu or about box takes the press: an item chosen, or dismissed.
  if (aboutShown_) return CloseOverlays();
  if (!menu_.empty()) {
    const Rect r = MenuRect();
    const int row = r.Contains(p) && p.y >= r.top + kMenuPad ? (p.y - r.top - kMenuPad) / kMenuRow : -1;
    if (row >= 0 && row < static_cast<int>(menu_.size())) return ChooseCommand(menu_[static_cast<std::size_t>(row)].id);
    return CloseOverlays();
  }
  CVisualOb* target = inputState_.popup ? inputState_.popup : HitTestAt(p);
  if (target) target->OnLButtonDown(flags, ToObject(*target, p));
  DropClosedLists();
}

void PanelView::MouseWheel(Point p, int delta) {
  if (!IsOpen() || !menu_.empty() || aboutShown_) return;
  if (CVisualOb* target = HitTestAt(p)) target->OnMouseWheel(delta);
}

void PanelView::DropClosedLists() {
  // The panel is the first child; what stands in front of it are lists.
  for (std::size_t i = 0; i < Children().size();) {
    CVisualOb* c = Children()[i].get();
    if (c->IsOpen() || i + 1 == Children().size()) {
      ++i;
      continue;
    }
    RemoveChild(c);
  }
}

std::optional<std::string> PanelView::ChooseFile(const FileChoice& choice) {
  return fileChooser_ ? fileChooser_(choice) : std::nullopt;
}

void PanelView::MouseMove(Point p, std::uint32_t flags) {
  if (!IsOpen()) return;
  inputState_.modifiers = flags & (kShift | kControl);
  TrackTooltip(p);
  if (CVisualOb* target = MouseTarget(p)) target->OnPointerMove(flags, ToObject(*target, p));
  DropClosedLists();
}

void PanelView::MouseUp(Point p, std::uint32_t flags) {
  if (!IsOpen()) return;
  inputState_.modifiers = flags & (kShift | kControl);
  if (CVisualOb* target = MouseTarget(p)) target->OnLButtonUp(flags, ToObject(*target, p));
  DropClosedLists();
}

void PanelView::ContextMenuAt(Point p) {
  if (!IsOpen() || inputState_.capture) return;
  CloseOverlays();
  HideTooltip();
  inputState_.tooltipSinceMs.reset();
  inputState_.contextMenuPoint = p;
  CVisualOb* hit = HitTestAt(p);
  if (!hit) return;
  if (hit->Parent()) hit->Parent()->Select(hit, false);
  hit->AddContextMenuItems(menu_, ToObject(*hit, p));
  if (menu_.empty()) inputState_.contextMenuObject = nullptr;
  else InvalidateRect(MenuRect());
}

void PanelView::ChooseCommand(int id) {
  CVisualOb* target = inputState_.contextMenuObject;
  const Point at = inputState_.contextMenuPoint;
  CloseOverlays();
  if (target) target->OnCommand(id, ToObject(*target, at));
}

void PanelView::CloseOverlays() {
  if (!menu_.empty()) InvalidateRect(MenuRect());
  if (aboutShown_) InvalidateRect(AboutRect());
  menu_.clear();
  aboutShown_ = false;
  inputState_.contextMenuObject = nullptr;
}

std::string PanelView::AboutText() { return document_.settings.aboutText; }

void PanelView::ShowAbout() {
  if (AboutText().empty()) return;
  aboutShown_ = true;
  InvalidateRect(AboutRect());
}

Rect PanelView::MenuRect() const {
  const Point p = inputState_.contextMenuPoint;
  const Size s{kMenuWidth, kMenuPad * 2 + kMenuRow * static_cast<int>(menu_.size())};
  // Kept inside the panel where it fits.
  const int x = std::max(0, std::min(p.x, GetRect().right - s.width));
  const int y = std::max(0, std::min(p.y, GetRect().bottom - s.height));
  return Rect::At({x, y}, s);
}

Rect PanelView::AboutRect() const {
  const Rect r = GetRect();
  return r.Inset(std::min({12, r.Width() / 4, r.Height() / 4}));
}

void PanelView::Draw(DrawContext& dc) {
  CVisualOb::Draw(dc);
  const SkinFontInfo& style = Skin::DefaultStyle();
  if (!menu_.empty()) {
    const Rect r = MenuRect();
    FillRect(dc, r, kButtonFace);
    FrameRect(dc, r, kButtonShadow);
    for (std::size_t i = 0; i < menu_.size(); ++i) {
      const int top = r.top + kMenuPad + kMenuRow * static_cast<int>(i);
      DrawTextLine(dc, {r.left + 8, top, r.right - 4, top + kMenuRow}, menu_[i].text, style, Align::Left, 0, -1);
      if (menu_[i].checked) {  // a tick in the left margin
        const int y = top + kMenuRow / 2;
        DrawLine(dc, r.left + 1, y, r.left + 3, y + 2, 0);
        DrawLine(dc, r.left + 3, y + 2, r.left + 7, y - 3, 0);
      }
    }
  }
  if (aboutShown_) {
    const Rect r = AboutRect();
    FillRect(dc, r, kButtonFace);
    FrameRect(dc, r, kButtonShadow);
    DrawTextWrapped(dc, r.Inset(6), AboutText(), style, Align::Centre, 0);
  }
  DrawTooltip(dc);
}

void PanelView::KeyDown(int key, std::uint32_t flags, int repeat) {
  if (!IsOpen()) return;
  inputState_.modifiers = flags & (kShift | kControl);
  CVisualOb* target = inputState_.popup ? inputState_.popup : inputState_.focus ? inputState_.focus : this;
  target->OnKeyDown(key, repeat, flags);
  DropClosedLists();
}

void PanelView::KeyUp(int key, std::uint32_t flags, int repeat) {
  if (!IsOpen()) return;
  inputState_.modifiers = flags & (kShift | kControl);
  CVisualOb* target = inputState_.popup ? inputState_.popup : inputState_.focus ? inputState_.focus : this;
  target->OnKeyUp(key, repeat, flags);
  DropClosedLists();
}

void PanelView::Char(int ch, std::uint32_t flags, int repeat) {
  if (!IsOpen()) return;
  inputState_.modifiers = flags & (kShift | kControl);
  CVisualOb* target = inputState_.popup ? inputState_.popup : inputState_.focus;
  if (target && target != this) target->OnChar(ch, repeat, flags);
  DropClosedLists();
}

Size HeldPanelSize(int storedWidth, int storedHeight, Size extent) {
  const int w = storedWidth > 0 ? storedWidth : extent.width;
  const int h = storedHeight > 0 ? storedHeight : extent.height;
  return {std::clamp(w, 1, kMaxPanelSide), std::clamp(h, 1, kMaxPanelSide)};
}

void PanelView::OpenPanel() {
  ClosePanel();
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
