#include "gui/panel/envelope_panel.h"

#include <cmath>
#include <cstdio>

#include "document/controls.h"
#include "gui/panel/curve_drawing.h"
#include "gui/visual/edit_box.h"
#include "gui/visual/layout.h"
#include "gui/visual/widgets.h"

namespace kr::gui {

namespace {

constexpr int kMaxTicks = 20000;  // a huge span draws no more than this
constexpr Pixel kButtonBack = Rgb(64, 64, 64);
constexpr Pixel kButtonInk = Rgb(200, 200, 200);

// The zoom button, 24 x 20 at (x, y): zoom in ("+") on the left half, out ("-") on the right.
void DrawZoomButton(DrawContext& dc, int x, int y) {
  const Rect r{x, y, x + 24, y + 20};
  FillRect(dc, r, kButtonBack);
  FrameRect(dc, r, kButtonInk);
  DrawLine(dc, x + 12, y + 1, x + 12, y + 19, kButtonInk);
  const int mid = y + 10;
  DrawLine(dc, x + 3, mid, x + 9, mid, kButtonInk);
  DrawLine(dc, x + 6, mid - 3, x + 6, mid + 3, kButtonInk);
  DrawLine(dc, x + 15, mid, x + 21, mid, kButtonInk);
}

void DrawTimeScale(CVisualOb& widget, DrawContext& dc, const EnvelopeEditor& editor, const Rect& c) {
  const int w = c.Width(), mid = c.top + c.Height() / 2;
  const double p = editor.PixelsPerSecond();
  const EnvelopeEditor::TimeScale scale = editor.Scale();
  const int labelHeight = CurveLabelHeight(widget);
  // From the first tick at the left edge (the view may be scrolled past time 0).
  long first = std::max(0L, static_cast<long>(std::floor(-editor.Scroll() / scale.step)) - 1);
  for (long k = first; k < first + kMaxTicks; ++k) {
    const double t = static_cast<double>(k) * scale.step;
    const double x = (t + editor.Scroll()) * p;
    if (x >= w) break;
    if (x < 0) continue;
    const int xi = c.left + static_cast<int>(x);
    const int reach = k % 10 == 0 ? 4 : 2;
    DrawLine(dc, xi, mid - reach, xi, mid + reach, kCurveGrid);
    if (k % scale.labelEvery == 0)
      DrawCurveLabel(widget, dc, {xi - 20, mid - reach - labelHeight, xi + 20, mid - reach}, FormatNumber(scale.format, t),
                     Align::Centre);
  }
}

void DrawLevelScale(CVisualOb& widget, DrawContext& dc, const Rect& c) {
  const int labelHeight = CurveLabelHeight(widget);
  const int x = c.left + c.Width() / 2 + 2;
  for (int volts = -10; volts <= 10; volts += 5) {
    const int y = c.top + static_cast<int>(c.Height() / 2.0 - volts * c.Height() * 0.05);
    DrawCurveLabel(widget, dc, {x, y - labelHeight / 2, c.right, y - labelHeight / 2 + labelHeight}, FormatNumber("%2.1f", volts),
                   Align::Left);
  }
}

void DrawPoints(DrawContext& dc, const EnvelopeEditor& editor, const Rect& c) {
  const EnvelopeNodes& nodes = editor.Nodes();
  Point from{c.left + static_cast<int>(std::floor(editor.Scroll() * editor.PixelsPerSecond())), c.top + c.Height() / 2};
  for (int i = 0; i < static_cast<int>(nodes.points.size()); ++i) {
    const Point at = editor.PointAt(i);
    const Point to{c.left + at.x, c.top + at.y};
    DrawLine(dc, from.x, from.y, to.x, to.y, i == editor.Selected() ? kCurveSelected : kCurveLine);
    from = to;
  }
  for (int i = 0; i < static_cast<int>(nodes.points.size()); ++i) {
    const Point at = editor.PointAt(i);
    const int x = c.left + at.x, y = c.top + at.y;
    DrawPointSquare(dc, x, y, kCurveLine);
    if (i == nodes.sustain) DrawPointSquare(dc, x, y - 8 - 3 < c.top ? y + 8 : y - 8, kCurveLine);
  }
}

}  // namespace

// --- the session ---------------------------------------------------------------------

EnvelopeSession::EnvelopeSession(CControl& control) : control_(control), seen_(control.EnvelopeText()) {
  editor_.SetText(seen_);
}

void EnvelopeSession::Apply(unsigned change) {
  if ((change & EnvelopeEditor::kPicture) && picture_) picture_->Invalidate();
  if (change & EnvelopeEditor::kShape) HandOver();
  if (change & EnvelopeEditor::kStore) {
    seen_ = editor_.Text();
    control_.SetEnvelopeText(seen_);
  }
}

void EnvelopeSession::HandOver() {
  EnvelopeShapeReceiver* receiver = control_.EnvelopeReceiver();
  shapeWaiting_ = receiver != nullptr && !receiver->ReceiveShape(editor_.Shape());
}

bool EnvelopeSession::Follow() {
  if (shapeWaiting_) HandOver();
  if (editor_.DraggingPoint()) return false;
  std::string now = control_.EnvelopeText();
  if (now == seen_) return false;
  seen_ = std::move(now);
  editor_.SetText(seen_);
  return true;
}

// --- the picture ---------------------------------------------------------------------

EnvelopeEditor& EnvelopePanel::Sized(CVisualOb& widget) {
  Editor().SetSize(widget.GetClientRect().GetSize());
  return Editor();
}

void EnvelopePanel::Draw(CVisualOb& widget, DrawContext& dc) {
  const Rect c = widget.GetClientRect();
  const EnvelopeEditor& editor = Sized(widget);
  FillRect(dc, c, kCurveBack);
  const int midX = c.left + c.Width() / 2, midY = c.top + c.Height() / 2;
  DrawLine(dc, c.left, midY, c.right - 1, midY, kCurveGrid);
  DrawLine(dc, midX, c.top, midX, c.bottom - 1, kCurveGrid);
  DrawTimeScale(widget, dc, editor, c);
  DrawLevelScale(widget, dc, c);
  DrawPoints(dc, editor, c);
  DrawZoomButton(dc, c.right - 25, c.top + 1);
}

void EnvelopePanel::MouseDown(CVisualOb& widget, Point p, std::uint32_t) { session_->Apply(Sized(widget).Press(p)); }

void EnvelopePanel::MouseMove(CVisualOb& widget, Point p, std::uint32_t) { session_->Apply(Sized(widget).Move(p)); }

void EnvelopePanel::MouseUp(CVisualOb& widget, Point, std::uint32_t) { session_->Apply(Sized(widget).Release()); }

bool EnvelopePanel::KeyDown(CVisualOb& widget, int key, std::uint32_t flags) {
  bool taken = false;
  session_->Apply(Sized(widget).Key(key, flags, taken));
  return taken;
}

void EnvelopePanel::AddMenuItems(CVisualOb& widget, ContextMenu& menu, Point p) {
  unsigned change = EnvelopeEditor::kNothing;
  for (MenuItem& item : Sized(widget).MenuAt(p, change)) menu.push_back(std::move(item));
  session_->Apply(change);
}

bool EnvelopePanel::Command(CVisualOb& widget, int id) {
  if (id != EnvelopeEditor::kDelSegment && id != EnvelopeEditor::kInsSegment && id != EnvelopeEditor::kSustainSeg)
    return false;
  session_->Apply(Sized(widget).Command(id));
  return true;
}

bool EnvelopePanel::Refresh(CVisualOb& widget) {
  const unsigned change = Sized(widget).Tick();
  session_->Apply(change & ~EnvelopeEditor::kPicture);
  return session_->Follow() || (change & EnvelopeEditor::kPicture) != 0;
}

void EnvelopePanel::Closing(CVisualOb&) {
  session_->Apply(Editor().Release());  // a drag cut short still stores what it drew
  session_->SetPicture(nullptr);
}

// --- the segment fields ------------------------------------------------------------------

namespace {

// A field's text, read and typed through the session's editor.
EditBinding FieldBinding(std::shared_ptr<EnvelopeSession> session, std::string (EnvelopeEditor::*read)() const,
                         unsigned (EnvelopeEditor::*write)(std::string_view)) {
  EditBinding binding;
  binding.read = [session, read](PanelValues&) { return (session->Editor().*read)(); };
  binding.write = [session, write](PanelValues&, const std::string& text) {
    session->Apply((session->Editor().*write)(text));
  };
  return binding;
}

std::unique_ptr<CVisualOb> Field(EditBinding binding, int characters, int tabIndex) {
  auto edit = std::make_unique<CMyEdit>(std::move(binding), characters);
  edit->tabIndex = tabIndex;
  return edit;
}

}  // namespace

std::unique_ptr<CVisualOb> MakeEnvelopeFields(std::shared_ptr<EnvelopeSession> session) {
  auto grid = std::make_unique<CGroup>(VF_PARENT_MENU | VF_AUTO_SIZE | VF_OWNED);
  grid->tabIndex = 1;
  grid->AddItem(Field(FieldBinding(session, &EnvelopeEditor::CurSegmentText, &EnvelopeEditor::SetCurSegment), 2, 1), 0, 2);
  grid->AddItem(std::make_unique<CMyTextLabel>("T", "control_label", LF_TRANSPARENT), 0, 3);
  grid->AddItem(Field(FieldBinding(session, &EnvelopeEditor::SegmentRateText, &EnvelopeEditor::SetSegmentRate), 5, 2), 0, 4);
  grid->AddItem(std::make_unique<CMyTextLabel>("L", "control_label", LF_TRANSPARENT), 0, 5);
  grid->AddItem(Field(FieldBinding(session, &EnvelopeEditor::SegmentLevelText, &EnvelopeEditor::SetSegmentLevel), 5, 3), 0,
                6);
  return grid;
}

}  // namespace kr::gui
