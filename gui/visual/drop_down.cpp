#include "gui/visual/drop_down.h"

#include <algorithm>

#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"
#include "gui/visual/widgets.h"

namespace kr {

using namespace kr::gui;

namespace {
constexpr Pixel kHighlight = Rgb(51, 102, 204);
constexpr int kMaxRows = 24;
}  // namespace

CDropDownList::CDropDownList(std::vector<std::string> items, int current, Choose choose)
    : CVisualOb(nullptr, VF_OWNED), items_(std::move(items)),
      highlight_(current >= 0 && current < static_cast<int>(items_.size()) ? current : -1),
      choose_(std::move(choose)) {}

CDropDownList* CDropDownList::Open(CVisualOb& owner, const Rect& anchor, std::vector<std::string> items, int current,
                                   Choose choose) {
  return Place(owner, anchor, std::make_unique<CDropDownList>(std::move(items), current, std::move(choose)));
}

CDropDownList* CDropDownList::Place(CVisualOb& owner, const Rect& anchor, std::unique_ptr<CDropDownList> made) {
  CVisualOb* root = &owner;
  while (root->Parent()) root = root->Parent();
  InputState* in = owner.Input();
  if (!in || !made || made->items_.empty()) return nullptr;
  if (auto* open = dynamic_cast<CDropDownList*>(in->popup)) open->Finish(-1);
  auto& list = static_cast<CDropDownList&>(root->AddChild(std::move(made), true));

  // Below the anchor, or above it when there is more room there.
  const Point at = owner.RootPosition();
  const Rect a = anchor.Offset(at.x, at.y);
  const Rect space = root->GetClientRect();
  const int rowHeight = list.RowHeight();
  const int below = space.bottom - a.bottom, above = a.top - space.top;
  const int count = static_cast<int>(list.items_.size());
  const bool down = below >= std::min(count, kMaxRows) * rowHeight + 2 || below >= above;
  list.rows_ = std::clamp(std::min((std::max(below, above) - 2) / rowHeight, kMaxRows), 1, count);
  Font& font = FontOfStyle(list.RowStyle());
  int width = a.Width();
  for (const std::string& item : list.items_) width = std::max(width, font.Measure(item).width + 12);
  width = std::min(width, std::max(20, space.Width()));
  const int height = list.rows_ * rowHeight + 2;
  const int x = std::clamp(a.left, space.left, std::max(space.left, space.right - width));
  const int y = down ? a.bottom : a.top - height;
  list.SetRect({x, y, x + width, y + height});
  list.first_ = std::clamp(list.highlight_ - list.rows_ / 2, 0, std::max(0, count - list.rows_));
  list.CVisualOb::Open();
  in->popup = &list;
  list.SetCapture();
  return &list;
}

const SkinFontInfo& CDropDownList::RowStyle() { return StyleNamed(*this, "control_edit"); }

int CDropDownList::RowHeight() { return FontOfStyle(RowStyle()).Height() + 4; }

Rect CDropDownList::RowRect(int row) {
  if (row < first_ || row >= first_ + rows_) return {};
  const int h = RowHeight(), top = 1 + (row - first_) * h;
  return {1, top, GetRect().Width() - 1, top + h};
}

int CDropDownList::RowAt(Point p) {
  if (!GetClientRect().Contains(p) || p.y < 1) return -1;
  const int row = first_ + (p.y - 1) / RowHeight();
  return row < first_ + rows_ && row < static_cast<int>(items_.size()) ? row : -1;
}

void CDropDownList::HighlightRow(int row) {
  const int count = static_cast<int>(items_.size());
  row = std::clamp(row, 0, count - 1);
  if (row < first_) first_ = row;
  if (row >= first_ + rows_) first_ = row - rows_ + 1;
  if (row == highlight_) return;
  highlight_ = row;
  Invalidate();
}

void CDropDownList::Finish(int chosen) {
  if (!IsOpen()) return;
  ReleaseCapture();
  if (InputState* in = Input(); in && in->popup == this) in->popup = nullptr;
  Close();  // the view deletes closed lists
  if (chosen >= 0 && chosen < static_cast<int>(items_.size()) && choose_) choose_(chosen);
}

void CDropDownList::OnLButtonDown(std::uint32_t, Point p) {
  if (!GetClientRect().Contains(p)) return Finish(-1);
  pressedInside_ = true;
  if (const int row = RowAt(p); row >= 0) HighlightRow(row);
}

void CDropDownList::OnLButtonUp(std::uint32_t, Point p) {
  // The release of the press that opened the list lands outside it: it stays.
  if (const int row = RowAt(p); row >= 0) Finish(row);
}

void CDropDownList::OnPointerMove(std::uint32_t flags, Point p) {
  if (const int row = RowAt(p); row >= 0) return HighlightRow(row);
  if (!(flags & kLeftButton) || p.x < 0 || p.x >= GetRect().Width()) return;
  // Dragged past an end: one row further that way.
  if (p.y < 0) HighlightRow(std::min(highlight_ < 0 ? first_ : highlight_, first_) - 1);
  else if (p.y >= GetRect().Height()) HighlightRow(std::max(highlight_, first_ + rows_ - 1) + 1);
}

void CDropDownList::OnKeyDown(int key, int, std::uint32_t) {
  const int page = std::max(1, rows_ - 1);
  switch (key) {
    case kKeyUp: return HighlightRow(highlight_ - 1);
    case kKeyDown: return HighlightRow(highlight_ + 1);
    case kKeyPageUp: return HighlightRow(highlight_ - page);
    case kKeyPageDown: return HighlightRow(highlight_ + page);
    case kKeyHome: return HighlightRow(0);
    case kKeyEnd: return HighlightRow(static_cast<int>(items_.size()) - 1);
    case kKeyEnter: return Finish(highlight_);
    case kKeyEscape:
    case kKeyTab: return Finish(-1);
    default: return;
  }
}

void CDropDownList::OnChar(int, int, std::uint32_t) {}

void CDropDownList::DrawSelf(DrawContext& dc) {
  const Rect c = GetClientRect();
  FillRect(dc, c, kFieldBack);
  FrameRect(dc, c, kFieldEdge);
  const SkinFontInfo& style = RowStyle();
  // The field's own ink: a row style made for the panel may be as light as the field.
  const auto ink = static_cast<std::uint32_t>(StyleNamed(*this, "control_edit").colour);
  const int count = static_cast<int>(items_.size());
  for (int row = first_; row < first_ + rows_ && row < count; ++row) {
    const Rect r = RowRect(row);
    if (row == highlight_) FillRect(dc, r, kHighlight);
    DrawTextLine(dc, {r.left + 4, r.top + 2, r.right - 4, r.bottom}, items_[static_cast<std::size_t>(row)], style,
                 Align::Left, ink, -1);
  }
  if (count > rows_) {
    // Where the rows shown stand in the whole list.
    const int track = c.Height() - 2;
    const int top = 1 + track * first_ / count, bottom = 1 + track * (first_ + rows_) / count;
    FillRect(dc, {c.right - 4, top, c.right - 1, std::max(bottom, top + 2)}, kFieldEdge);
  }
}

}  // namespace kr
