#include "gui/visual/layout.h"

#include <algorithm>

#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"

namespace kr {

using namespace kr::gui;

// --- CGroup ------------------------------------------------------------------

CVisualOb& CGroup::AddItem(std::unique_ptr<CVisualOb> child, int row, int column) {
  if (row < 0) {
    row = nextRow_;
    column = 0;
  }
  row = std::clamp(row, 0, 4095);
  column = std::clamp(column, 0, 4095);
  nextRow_ = std::max(nextRow_, row + 1);
  CVisualOb& added = AddChild(std::move(child));
  items_.push_back({&added, row, column});
  return added;
}

void CGroup::Measure(std::vector<int>& rows, std::vector<int>& columns) {
  for (const Item& i : items_) {
    const Size s = i.child->GetPreferredSize();
    if (static_cast<int>(rows.size()) <= i.row) rows.resize(static_cast<std::size_t>(i.row) + 1, 0);
    if (static_cast<int>(columns.size()) <= i.column) columns.resize(static_cast<std::size_t>(i.column) + 1, 0);
    rows[i.row] = std::max(rows[i.row], s.height);
    columns[i.column] = std::max(columns[i.column], s.width);
  }
}

Size CGroup::GetPreferredSize() {
  std::vector<int> rows, columns;
  Measure(rows, columns);
  Size s;
  for (int w : columns) s.width += w + 2;
  for (int h : rows) s.height += h + 4;
  return s;
}

void CGroup::Place(const Rect& r) {
  std::vector<int> rows, columns;
  Measure(rows, columns);
  const Size pref = GetPreferredSize();
  // Surplus space goes to the column (row) of the last item that stretches.
  if (r.Width() > pref.width && !fixedWidth) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
      if (it->child->Has(VF_STRETCH_WIDTH)) {
        columns[it->column] += r.Width() - pref.width;
        break;
      }
  }
  if (r.Height() > pref.height) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
      if (it->child->Has(VF_STRETCH_HEIGHT)) {
        rows[it->row] += r.Height() - pref.height;
        break;
      }
  }
  for (const Item& i : items_) {
    const Size s = i.child->GetPreferredSize();
    const int w = i.child->Has(VF_STRETCH_WIDTH) ? columns[i.column] : s.width;
    const int h = i.child->Has(VF_STRETCH_HEIGHT) ? rows[i.row] : s.height;
    int x = 0, y = 0;
    for (int c = 0; c < i.column; ++c) x += columns[c] + 2;
    for (int row = 0; row < i.row; ++row) y += rows[row] + 4;
    if (i.child->Has(VF_CENTRE_H)) x += (columns[i.column] - w) / 2;
    if (!i.child->Has(VF_STRETCH_HEIGHT)) y += (rows[i.row] - h) / 2;
    i.child->SetRect({x, y, x + w, y + h});
  }
}

void CGroup::SetRect(const Rect& r) {
  const Size pref = GetPreferredSize();
  Rect held = r;
  held.right = held.left + std::max(r.Width(), pref.width);
  held.bottom = held.top + std::max(r.Height(), pref.height);
  CVisualOb::SetRect(held);
  Place(held);
}

void CGroup::SetFocus() {
  const kr::gui::InputState* in = Input();
  const bool shift = in && (in->modifiers & kr::gui::kShift) != 0;
  CVisualOb* chosen = nullptr;
  for (const auto& c : Children()) {
    const int t = c->tabIndex;
    if (t >= 0 && (!chosen || (shift ? t > chosen->tabIndex : t < chosen->tabIndex))) chosen = c.get();
  }
  if (chosen) chosen->SetFocus();
  else CVisualOb::SetFocus();
}

void CGroup::Open() {
  Place(GetRect());
  CVisualOb::Open();
}

void CGroup::DrawSelf(DrawContext& dc) {
  if (!showGridLines) return;
  std::vector<int> rows, columns;
  Measure(rows, columns);
  const Rect c = GetClientRect();
  int y = 0;
  for (int h : rows) {
    y += h + 4;
    FillRect(dc, {c.left, y - 2, c.right, y - 1}, kGridLines);
  }
  int x = 0;
  for (int w : columns) {
    x += w + 2;
    FillRect(dc, {x - 2, c.top, x - 1, c.bottom}, kGridLines);
  }
}

// --- free layouts ----------------------------------------------------------

Size GroupLoose::GetPreferredSize() {
  Size s;
  for (const auto& c : Children()) {
    const Size p = c->GetPreferredSize();
    s.width = std::max(s.width, c->GetRect().left + p.width);
    s.height = std::max(s.height, c->GetRect().top + p.height);
  }
  return s;
}

void GroupLoose::SetRect(const Rect& r) {
  CVisualOb::SetRect(r);
  for (const auto& c : Children()) c->SetRect(Rect::At(c->GetRect().TopLeft(), c->GetPreferredSize()));
}

void GroupLoose::Normalise(int start) {
  int minLeft = start, minTop = start;
  for (const auto& c : Children()) {
    minLeft = std::min(minLeft, c->GetRect().left);
    minTop = std::min(minTop, c->GetRect().top);
  }
  for (const auto& c : Children()) c->SetRect(c->GetRect().Offset(-minLeft, -minTop));
}

// --- control_frame2 ----------------------------------------------------------

void control_frame2::EnsureContent() {
  if (made_) return;
  made_ = true;
  std::unique_ptr<CVisualOb> content = make_ ? make_() : nullptr;
  if (!content) return;
  if (content->Has(VF_RESIZABLE)) SetFlags(VF_RESIZABLE);
  CVisualOb& c = AddChild(std::move(content));
  c.SetRect(GetClientRect());
}

Size control_frame2::GetPreferredSize() {
  EnsureContent();
  if (Children().empty()) return {20, 20};
  CVisualOb& content = *Children().front();
  Size s = content.GetPreferredSize();
  // Resizable content keeps the size it was given (its object stores it).
  if (content.Has(VF_RESIZABLE)) {
    s.width = std::max(s.width, content.GetRect().Width());
    s.height = std::max(s.height, content.GetRect().Height());
  }
  return s;
}

void control_frame2::SetRect(const Rect& r) {
  CVisualOb::SetRect(r);
  if (!Children().empty()) Children().front()->SetRect({0, 0, r.Width(), r.Height()});
}

void control_frame2::Open() {
  EnsureContent();
  Size size = GetPreferredSize();
  if (Has(VF_RESIZABLE)) size = {std::max(size.width, GetRect().Width()), std::max(size.height, GetRect().Height())};
  const Rect r = Rect::At(GetRect().TopLeft(), size);
  if (r != GetRect()) {
    SetRect(r);
    if (Parent()) Parent()->OnChildResized(this);
  }
  CVisualOb::Open();
}

void control_frame2::OnChildResized(CVisualOb*) {
  Size s = GetPreferredSize();
  if (!Children().empty() && Children().front()->Has(VF_RESIZABLE)) {
    s.width = std::max(s.width, Children().front()->GetRect().Width());
    s.height = std::max(s.height, Children().front()->GetRect().Height());
  }
  const Rect r = Rect::At(GetRect().TopLeft(), s);
  if (r == GetRect()) return;
  SetRect(r);
  if (Parent()) Parent()->OnChildResized(this);
}

// --- module box ----------------------------------------------------------------

CVisualOb& Ctl_Wnd::Add(std::unique_ptr<CVisualOb> child) { return group_->AddItem(std::move(child)); }

Size Ctl_Wnd::GetPreferredSize() {
  if (Parent()) EnsureGroup();  // the widgets need the skin of the tree
  if (!group_) return {10, 10};
  const Size g = group_->GetPreferredSize();
  Size s{g.width + BorderWidth(), g.height + BorderWidth()};
  // A resizable box keeps at least the size its module stores.
  if (Has(VF_RESIZABLE)) s = {std::max(s.width, stored_.Width()), std::max(s.height, stored_.Height())};
  return s;
}

void Ctl_Wnd::SetRect(const Rect& r) {
  Rect held = r;
  if (group_) {
    const Size g = group_->GetPreferredSize();
    held.right = held.left + std::max(r.Width(), g.width + BorderWidth());
    held.bottom = held.top + std::max(r.Height(), g.height + BorderWidth());
  }
  CVisualOb::SetRect(held);
  if (group_) group_->SetRect({0, 0, held.Width() - BorderWidth(), held.Height() - BorderWidth()});
}

void Ctl_Wnd::EnsureGroup() {
  if (group_) return;
  group_ = static_cast<CGroup*>(
      &AddChild(std::make_unique<CGroup>(VF_PARENT_MENU | VF_AUTO_SIZE | VF_OWNED | VF_TOOLTIP_FROM_PARENT)));
  if (populate_) populate_(*this);
}

void Ctl_Wnd::Open() {
  EnsureGroup();
  const Rect r = Rect::At(stored_.TopLeft(), GetPreferredSize());
  if (r != GetRect()) {
    SetRect(r);
    if (Parent()) Parent()->OnChildResized(this);
  } else {
    SetRect(r);
  }
  CVisualOb::Open();
}

void Ctl_Wnd::DrawSelf(DrawContext& dc) {
  if (GetViewKind() == kPanelView) return;  // panels show no box
  const Rect c = GetClientRect();
  FillRect(dc, {c.left, c.top, c.right, c.top + 1}, Rgb(180, 180, 180));
  FillRect(dc, {c.left, c.top, c.left + 1, c.bottom}, Rgb(180, 180, 180));
  FillRect(dc, {c.left, c.bottom - 1, c.right, c.bottom}, kButtonShadow);
  FillRect(dc, {c.right - 1, c.top, c.right, c.bottom}, kButtonShadow);
}

}  // namespace kr
