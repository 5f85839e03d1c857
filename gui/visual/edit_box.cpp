#include "gui/visual/edit_box.h"

#include <algorithm>

#include "document/generic_parameter.h"
#include "document/plug2.h"
#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/widgets.h"

namespace kr {

using namespace kr::gui;

namespace {

constexpr Pixel kSelection = Rgb(51, 102, 204);
constexpr Pixel kCaret = Rgb(255, 255, 255);

}  // namespace

EditBinding EditBinding::Of(generic_parameter& p) {
  return {[&p](PanelValues& v) { return v.ValueText(p); },
          [&p](PanelValues& v, const std::string& text) { v.SetValueText(p, text); }};
}

EditBinding EditBinding::Of(CPlug2& plug) {
  return {[&plug](PanelValues& v) { return v.PlugValue(plug); },
          [&plug](PanelValues& v, const std::string& text) { v.SetPlugValue(plug, text); }};
}

CMyEdit::CMyEdit(generic_parameter& parameter, int characters) : CMyEdit(EditBinding::Of(parameter), characters) {}

CMyEdit::CMyEdit(EditBinding binding, int characters)
    : CVisualOb(nullptr, VF_FOCUS_ON_CLICK), binding_(std::move(binding)), characters_(characters) {}

std::string CMyEdit::Shown() { return binding_.read ? binding_.read(ValuesOf(*this)) : std::string(); }

Size CMyEdit::GetPreferredSize() {
  const Size avg = FontOfStyle(StyleNamed(*this, "control_edit")).AverageCharSize();
  return {characters_ * avg.width + 2 + 4, avg.height + 4};
}

void CMyEdit::Begin() {
  started_ = Shown();
  line_.Start(started_);
  editing_ = true;
  scroll_ = 0;
  KeepCaretVisible();
  Invalidate();
}

void CMyEdit::Commit() {
  if (!editing_) return;
  if (line_.Text() != started_ && binding_.write) binding_.write(ValuesOf(*this), line_.Text());
  started_ = line_.Text();
}

void CMyEdit::SetFocus() {
  const bool had = HasFocus();
  CVisualOb::SetFocus();
  if (!had && HasFocus() && !Has(VF_READ_ONLY)) Begin();
}

void CMyEdit::StopEditing() {
  editing_ = false;
  scroll_ = 0;
  Invalidate();
}

void CMyEdit::OnKillFocus() {
  if (editing_) {
    Commit();
    StopEditing();
    EditEnded();
  }
  CVisualOb::OnKillFocus();
}

std::size_t CMyEdit::OffsetAt(int x) {
  Font& font = FontOfStyle(StyleNamed(*this, "control_edit"));
  const std::string& text = line_.Text();
  std::size_t best = 0;
  int bestDistance = std::abs(x - TextLeft());
  for (std::size_t i = 1; i <= text.size(); ++i) {
    if (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    const int d = std::abs(x - (TextLeft() + font.Measure(std::string_view(text).substr(0, i)).width));
    if (d < bestDistance) best = i, bestDistance = d;
  }
  return best;
}

void CMyEdit::KeepCaretVisible() {
  Font& font = FontOfStyle(StyleNamed(*this, "control_edit"));
  const int caretX = font.Measure(std::string_view(line_.Text()).substr(0, line_.Caret())).width;
  const int room = std::max(1, GetRect().Width() - 6);
  if (caretX - scroll_ > room) scroll_ = caretX - room;
  if (caretX - scroll_ < 0) scroll_ = caretX;
}

void CMyEdit::OnLButtonDown(std::uint32_t flags, Point p) {
  const bool was = editing_;
  CVisualOb::OnLButtonDown(flags, p);  // the focus, which starts the editing
  if (!editing_) return;
  // A click into text being edited places the caret (Shift: selects to it).
  if (was) line_.PlaceCaret(OffsetAt(p.x), (flags & kShift) != 0);
  SetCapture();
  KeepCaretVisible();
  Invalidate();
}

void CMyEdit::OnPointerMove(std::uint32_t, Point p) {
  if (!HasCapture() || !editing_) return;
  line_.PlaceCaret(OffsetAt(p.x), true);
  KeepCaretVisible();
  Invalidate();
}

void CMyEdit::OnLButtonUp(std::uint32_t flags, Point p) { CVisualOb::OnLButtonUp(flags, p); }

void CMyEdit::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  // While editing, every key is the box's: none reaches the computer keyboard.
  if (!editing_) return CVisualOb::OnKeyDown(key, repeat, flags);
  const bool extend = (flags & kShift) != 0;
  switch (key) {
    case kKeyLeft: line_.Left(extend); break;
    case kKeyRight: line_.Right(extend); break;
    case kKeyHome: line_.Home(extend); break;
    case kKeyEnd: line_.End(extend); break;
    case kKeyDelete: line_.Delete(); break;
    default: return;
  }
  KeepCaretVisible();
  Invalidate();
}

void CMyEdit::OnKeyUp(int key, int repeat, std::uint32_t flags) {
  if (!editing_) CVisualOb::OnKeyUp(key, repeat, flags);
}

void CMyEdit::OnChar(int ch, int repeat, std::uint32_t flags) {
  if (!editing_ || ch == kKeyTab) return CVisualOb::OnChar(ch, repeat, flags);
  switch (ch) {
    case kKeyEnter:
      Commit();
      Begin();
      return;
    case kKeyEscape:
      Begin();  // the value's text again
      return;
    case kKeyBackspace: line_.Backspace(); break;
    default:
      if (ch < 0x20) return;
      for (int i = 0; i < std::max(1, repeat); ++i) line_.Type(static_cast<char32_t>(ch));
  }
  KeepCaretVisible();
  Invalidate();
}

void CMyEdit::Refresh() {
  if (editing_) return;  // what is being typed stays
  std::string now = Shown();
  if (now == shown_) return;
  shown_ = std::move(now);
  Invalidate();
}

void CMyEdit::DrawSelf(DrawContext& dc) {
  const Rect c = GetClientRect();
  FillRect(dc, c, kFieldBack);
  FrameRect(dc, c, HasFocus() ? kFieldFocus : kFieldEdge);
  const SkinFontInfo& style = StyleNamed(*this, "control_edit");
  const Rect inner = c.Inset(2);
  if (!editing_) {
    DrawTextLine(dc, inner, Shown(), style, Align::Left, static_cast<std::uint32_t>(style.colour), -1);
    return;
  }
  ClipScope clip(dc, inner);
  Font& font = FontOfStyle(style);
  const std::string_view text = line_.Text();
  const auto xAt = [&](std::size_t offset) { return TextLeft() + font.Measure(text.substr(0, offset)).width; };
  if (line_.HasSelection())
    FillRect(dc, {xAt(line_.SelectionBegin()), inner.top, xAt(line_.SelectionEnd()), inner.bottom}, kSelection);
  font.Draw(dc, TextLeft(), inner.top, text, FromColorRef(static_cast<std::uint32_t>(style.colour)));
  const int caret = xAt(line_.Caret());
  FillRect(dc, {caret, inner.top, caret + 1, inner.bottom}, kCaret);
}

// --- the in-place box ----------------------------------------------------------------

CMyEdit2::CMyEdit2(CPlug2& text) : CMyEdit(EditBinding::Of(text), 4) {}

void CMyEdit2::OnChar(int ch, int repeat, std::uint32_t flags) {
  if (!Editing() || (ch != kKeyEnter && ch != kKeyEscape)) return CMyEdit::OnChar(ch, repeat, flags);
  if (ch == kKeyEnter) Commit();
  // The focus goes back to the label; the box has nothing more to write.
  StopEditing();
  if (Parent()) Parent()->SetFocus();
  Close();
}

void CMyEdit2::EditEnded() { Close(); }

}  // namespace kr
