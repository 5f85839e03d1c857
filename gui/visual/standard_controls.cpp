#include "gui/visual/standard_controls.h"

#include <algorithm>
#include <cmath>

#include "document/generic_parameter.h"
#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/drop_down.h"
#include "gui/visual/widgets.h"
#include "registry/item_list.h"

namespace kr {

using namespace kr::gui;

namespace {

// Item lists are walked no further than this (a range may be huge).
constexpr int kMostItems = 4096;

// A small solid triangle pointing up or down, centred on (cx, cy).
void Arrow(DrawContext& dc, int cx, int cy, bool up, Pixel colour) {
  for (int i = 0; i < 3; ++i) {
    const int y = up ? cy - 1 + i : cy + 1 - i;
    FillRect(dc, {cx - i, y, cx + i + 1, y + 1}, colour);
  }
}

void DrawButtonFace(DrawContext& dc, const Rect& c, bool pressed) {
  FillRect(dc, c, pressed ? kButtonShadow : kButtonFace);
  FrameRect(dc, c, kButtonShadow);
}

}  // namespace

// --- CMyCombobox -------------------------------------------------------------------

CMyCombobox::CMyCombobox(generic_parameter& parameter)
    : CVisualOb(nullptr, VF_STRETCH_HEIGHT | VF_FOCUS_ON_CLICK), parameter_(parameter) {}

std::vector<CMyCombobox::Item> CMyCombobox::Items() const {
  std::vector<Item> items;
  EnumListIterator it(parameter_.ItemList());
  for (it.First(); !it.IsDone() && static_cast<int>(items.size()) < kMostItems; it.Next())
    items.push_back({it.CurrentLabel(), it.CurrentValue()});
  return items;
}

int CMyCombobox::CurrentIndex(const std::vector<Item>& items) {
  const int value = ParameterTextToInt(ValuesOf(*this).ValueText(parameter_));
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].value == value) return static_cast<int>(i);
  return -1;
}

Size CMyCombobox::GetPreferredSize() {
  Font& font = FontOfStyle(StyleNamed(*this, "control_edit"));
  int longest = 2;
  for (const Item& item : Items()) longest = std::max(longest, static_cast<int>(item.label.size()));
  longest = std::min(longest, 12);
  const Size avg = font.AverageCharSize();
  return {longest * avg.width + 16 + 6, avg.height + 6};
}

void CMyCombobox::DropDown() {
  const std::vector<Item> items = Items();
  std::vector<std::string> labels;
  std::vector<int> values;
  for (const Item& item : items) {
    labels.push_back(item.label);
    values.push_back(item.value);
  }
  // The list may outlive this box (a panel rebuilt under it): it keeps the
  // parameter and the view's values, which outlive both.
  PanelValues* panelValues = &ValuesOf(*this);
  generic_parameter* parameter = &parameter_;
  CDropDownList::Open(*this, GetClientRect(), std::move(labels), CurrentIndex(items),
                      [panelValues, parameter, values](int index) {
                        panelValues->SetValueText(*parameter, std::to_string(values[static_cast<std::size_t>(index)]));
                      });
}

void CMyCombobox::OnLButtonDown(std::uint32_t flags, Point p) {
  CVisualOb::OnLButtonDown(flags, p);
  DropDown();
}

void CMyCombobox::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  const bool back = key == kKeyUp || key == kKeyLeft, on = key == kKeyDown || key == kKeyRight;
  if (key == kKeySpace) return DropDown();
  if (!back && !on) return CVisualOb::OnKeyDown(key, repeat, flags);
  const std::vector<Item> items = Items();
  if (items.empty()) return;
  const int at = CurrentIndex(items);
  const int next = std::clamp(at < 0 ? 0 : at + (on ? 1 : -1), 0, static_cast<int>(items.size()) - 1);
  if (next != at) ValuesOf(*this).SetValueText(parameter_, std::to_string(items[static_cast<std::size_t>(next)].value));
}

void CMyCombobox::OnKeyUp(int key, int repeat, std::uint32_t flags) {
  if (key != kKeySpace && key != kKeyUp && key != kKeyDown && key != kKeyLeft && key != kKeyRight)
    CVisualOb::OnKeyUp(key, repeat, flags);
}

void CMyCombobox::Refresh() {
  std::string now = ValuesOf(*this).DisplayText(parameter_);
  if (now == shown_) return;
  shown_ = std::move(now);
  Invalidate();
}

void CMyCombobox::DrawSelf(DrawContext& dc) {
  const Rect c = GetClientRect();
  FillRect(dc, c, kFieldBack);
  FrameRect(dc, c, HasFocus() ? kFieldFocus : kFieldEdge);
  const int ax = c.right - 14, ay = c.top + c.Height() / 2 - 2;
  for (int i = 0; i < 4; ++i) FillRect(dc, {ax + i, ay + i, ax + 8 - i, ay + i + 1}, kFieldEdge);
  const SkinFontInfo& style = StyleNamed(*this, "control_edit");
  DrawTextLine(dc, {c.left + 3, c.top + 3, c.right - 16, c.bottom - 1}, ValuesOf(*this).DisplayText(parameter_),
               style, Align::Left, static_cast<std::uint32_t>(style.colour), -1);
}

// --- CMySliderCtrl ---------------------------------------------------------------------

namespace {
constexpr int kTrackEnd = 6, kThumbHeight = 8;
}  // namespace

CMySliderCtrl::CMySliderCtrl(generic_parameter& parameter)
    : CVisualOb(nullptr, VF_FOCUS_ON_CLICK), parameter_(parameter) {}

int CMySliderCtrl::Travel() const { return std::max(0, GetRect().Height() - 2 * kTrackEnd - kThumbHeight); }

int CMySliderCtrl::PositionOfValue() {
  const float v = ValuesOf(*this).Normalised(parameter_);
  return std::clamp(static_cast<int>(std::floor(100 - 100 * (std::isfinite(v) ? v : 0.0f) + 0.5f)), 0, 100);
}

Rect CMySliderCtrl::Thumb() const {
  const int cx = GetRect().Width() / 2, y = kTrackEnd + Travel() * position_ / 100;
  return {cx - 9, y, cx + 9, y + kThumbHeight};
}

void CMySliderCtrl::Open() {
  position_ = PositionOfValue();
  CVisualOb::Open();
}

void CMySliderCtrl::MoveTo(int position) {
  position = std::clamp(position, 0, 100);
  if (position == position_) return;
  position_ = position;
  Invalidate();
  ValuesOf(*this).SetNormalised(parameter_, static_cast<float>(100 - position) * 0.01f);
}

void CMySliderCtrl::Refresh() {
  if (HasCapture()) return;
  const int p = PositionOfValue();
  if (p == position_) return;
  position_ = p;
  Invalidate();
}

void CMySliderCtrl::OnLButtonDown(std::uint32_t flags, Point p) {
  CVisualOb::OnLButtonDown(flags, p);
  const Rect thumb = Thumb();
  if (p.y >= thumb.top && p.y < thumb.bottom) {
    grab_ = p.y - thumb.top;
    SetCapture();
    return;
  }
  MoveTo(position_ + (p.y < thumb.top ? -10 : 10));
}

void CMySliderCtrl::OnPointerMove(std::uint32_t, Point p) {
  if (!HasCapture()) return;
  const int travel = Travel();
  if (travel <= 0) return;
  const int y = p.y - grab_ - kTrackEnd;
  MoveTo(static_cast<int>(std::lround(static_cast<double>(y) * 100.0 / travel)));
}

void CMySliderCtrl::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  switch (key) {
    case kKeyUp:
    case kKeyLeft: return MoveTo(position_ - 1);
    case kKeyDown:
    case kKeyRight: return MoveTo(position_ + 1);
    case kKeyPageUp: return MoveTo(position_ - 10);
    case kKeyPageDown: return MoveTo(position_ + 10);
    case kKeyHome: return MoveTo(0);
    case kKeyEnd: return MoveTo(100);
    default: return CVisualOb::OnKeyDown(key, repeat, flags);
  }
}

void CMySliderCtrl::DrawSelf(DrawContext& dc) {
  const Rect c = GetClientRect();
  const int cx = c.Width() / 2;
  const Rect track{cx - 2, kTrackEnd, cx + 2, c.bottom - kTrackEnd};
  FillRect(dc, track, kFieldBack);
  FrameRect(dc, track, HasFocus() ? kFieldFocus : kFieldEdge);
  const Rect thumb = Thumb();
  FillRect(dc, thumb, Rgb(200, 200, 205));
  FrameRect(dc, thumb, Rgb(70, 72, 80));
}

// --- CMyButton, CMyBrowseButton ---------------------------------------------------------

CMyButton::CMyButton(std::string caption, generic_parameter* parameter, Callback callback)
    : CVisualOb(nullptr, VF_FOCUS_ON_CLICK), caption_(std::move(caption)), parameter_(parameter),
      callback_(std::move(callback)) {}

Size CMyButton::GetPreferredSize() {
  const Size text = FontOfStyle(StyleNamed(*this, "control_edit")).Measure(caption_);
  return {std::max(40, text.width + 12), std::max(20, text.height + 6)};
}

void CMyButton::Set(float value) {
  if (parameter_) ValuesOf(*this).SetNormalised(*parameter_, value);
  if (callback_) callback_(value);
}

void CMyButton::OnLButtonDown(std::uint32_t flags, Point p) {
  CVisualOb::OnLButtonDown(flags, p);
  SetCapture();
  pressed_ = true;
  Invalidate();
  Set(1.0f);
}

void CMyButton::OnLButtonUp(std::uint32_t flags, Point p) {
  if (!HasCapture()) return;
  ReleaseCapture();
  pressed_ = false;
  Invalidate();
  Set(0.0f);
}

void CMyButton::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  if (key != kKeySpace) return CVisualOb::OnKeyDown(key, repeat, flags);
  if (pressed_ || (flags & kKeyRepeat)) return;
  pressed_ = true;
  Invalidate();
  Set(1.0f);
}

void CMyButton::OnKeyUp(int key, int repeat, std::uint32_t flags) {
  if (key != kKeySpace) return CVisualOb::OnKeyUp(key, repeat, flags);
  if (!pressed_) return;
  pressed_ = false;
  Invalidate();
  Set(0.0f);
}

void CMyButton::DrawSelf(DrawContext& dc) {
  const Rect c = GetClientRect();
  DrawButtonFace(dc, c, pressed_);
  DrawTextLine(dc, c.Inset(2).Offset(pressed_ ? 1 : 0, pressed_ ? 1 : 0), caption_, StyleNamed(*this, "control_edit"),
               Align::Centre, 0, -1);
}

CMyBrowseButton::CMyBrowseButton(EditBinding target, std::string extension)
    : CMyButton("..."), target_(std::move(target)), extension_(std::move(extension)) {}

void CMyBrowseButton::Set(float value) {
  if (value != 0.0f || !target_.read || !target_.write) return;  // acts on the release
  PanelValues& values = ValuesOf(*this);
  if (auto chosen = ChooseFile({target_.read(values), extension_}); chosen && !chosen->empty())
    target_.write(values, *chosen);
}

// --- CMySpinButtonCtrl ---------------------------------------------------------------------

CMySpinButtonCtrl::CMySpinButtonCtrl(generic_parameter& parameter)
    : CVisualOb(nullptr, VF_FOCUS_ON_CLICK), parameter_(parameter) {}

int CMySpinButtonCtrl::Low() const {
  EnumListIterator it(parameter_.ItemList());
  return it.IsRange() ? parameter_.FirstItemValue() : 1;
}

int CMySpinButtonCtrl::High() const {
  EnumListIterator it(parameter_.ItemList());
  return it.IsRange() ? parameter_.LastItemValue() : 128;
}

void CMySpinButtonCtrl::Step(int by) {
  PanelValues& values = ValuesOf(*this);
  const int now = ParameterTextToInt(values.ValueText(parameter_));
  const int next = std::clamp(now + by, Low(), std::max(Low(), High()));
  if (next != now) values.SetValueText(parameter_, std::to_string(next));
}

void CMySpinButtonCtrl::OnLButtonDown(std::uint32_t flags, Point p) {
  CVisualOb::OnLButtonDown(flags, p);
  SetCapture();
  pressed_ = p.y < GetRect().Height() / 2 ? 1 : -1;
  Invalidate();
  Step(pressed_);
}

void CMySpinButtonCtrl::OnLButtonUp(std::uint32_t flags, Point p) {
  CVisualOb::OnLButtonUp(flags, p);
  if (pressed_ == 0) return;
  pressed_ = 0;
  Invalidate();
}

void CMySpinButtonCtrl::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  if (key == kKeyUp) return Step(1);
  if (key == kKeyDown) return Step(-1);
  CVisualOb::OnKeyDown(key, repeat, flags);
}

void CMySpinButtonCtrl::DrawSelf(DrawContext& dc) {
  const Rect c = GetClientRect();
  const int half = c.Height() / 2;
  DrawButtonFace(dc, {c.left, c.top, c.right, half}, pressed_ > 0);
  DrawButtonFace(dc, {c.left, half, c.right, c.bottom}, pressed_ < 0);
  Arrow(dc, c.Width() / 2, half / 2, true, Rgb(0, 0, 0));
  Arrow(dc, c.Width() / 2, half + (c.Height() - half) / 2, false, Rgb(0, 0, 0));
}

}  // namespace kr
