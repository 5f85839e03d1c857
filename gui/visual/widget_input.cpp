// How widgets follow the mouse, the arrow keys and values set elsewhere:
// bitmap controls drag, click (momentary or toggle), step through their
// frames (wrapping) and turn round their centre; every widget repaints when
// what it shows changed.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <utility>

#include "document/generic_parameter.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/drop_down.h"
#include "gui/visual/widgets.h"
#include "registry/item_list.h"

namespace kr {

using namespace kr::gui;

namespace {

enum Response { kNone = -1, kDragVertical = 0, kDragHorizontal = 1, kClick = 2, kRotary = 3, kStep = 4 };

bool Ctrl(std::uint32_t flags) { return (flags & kControl) != 0; }

// The change a rotary gesture makes (before any scaling): the angle turned
// round the control's centre, or minus the vertical motion when the pointer
// moves up and down near the centre line. acc is the running vote between
// the two; step is its weight per move.
float RotaryChange(const Rect& client, Point p, Point q, float& acc, float keep, float step, float turnScale) {
  const int hx = client.Width() / 2, hy = client.Height() / 2;
  const double ex = p.x - hx, ey = p.y - hy, ox = q.x - hx, oy = q.y - hy;
  double t = std::atan2(ey, ex) - std::atan2(oy, ox);
  while (t <= -std::numbers::pi) t += 2 * std::numbers::pi;
  while (t > std::numbers::pi) t -= 2 * std::numbers::pi;
  const int span = std::max(1, client.Width() + client.Height());
  const double k = std::min(2.0 * (std::fabs(ex) + std::fabs(ey)) / span, 1.0);
  const double v = k * t * turnScale;
  const double dy = ey - oy;
  const double u = std::max(1.0 - std::min(std::fabs(ex), 10.0) * 0.1, 0.0);
  acc = std::fabs(v) > std::fabs(u * dy) ? keep * acc + step : keep * acc - step;
  return static_cast<float>(acc > 0 ? v : -dy);
}

// The change a straight drag makes: upwards or rightwards grows.
float DragChange(int code, Point p, Point q, float gain) {
  return code == kDragVertical ? -gain * static_cast<float>(p.y - q.y) : gain * static_cast<float>(p.x - q.x);
}

// The change an arrow key makes to a drag or rotary control: up and right
// add step, down and left take it away; 0 for any other key or control.
float ArrowChange(int code, int key, float step) {
  if (code != kDragVertical && code != kDragHorizontal && code != kRotary) return 0;
  if (key == kKeyUp || key == kKeyRight) return step;
  if (key == kKeyDown || key == kKeyLeft) return -step;
  return 0;
}

std::string FloatText(float v) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return {text, r.ptr};
}

}  // namespace

// --- CMyBmpCtrl: values 0..100 through a mapper ------------------------------------

void CMyBmpCtrl::UpdatePosition() {
  const int p = ComputePosition();
  if (p == position_) return;
  position_ = p;
  Invalidate();
}

void CMyBmpCtrl::SetValue(float v) {
  v = std::isfinite(v) ? std::clamp(v, 0.0f, 100.0f) : 0.0f;
  if (v == value_) return;
  value_ = v;
  if (IsOpen() && mapper_) mapper_->SetWidgetValue(ValuesOf(*this), v * 0.01f);
  UpdatePosition();
}

void CMyBmpCtrl::Refresh() {
  if (!mapper_ || HasCapture()) return;
  const float v = std::clamp(mapper_->WidgetValue(ValuesOf(*this)) * 100.0f, 0.0f, 100.0f);
  if (std::fabs(v - value_) < 1e-3f) return;
  value_ = v;
  UpdatePosition();
}

void CMyBmpCtrl::Press() {
  const int code = Code();
  if (code == kClick) {
    SetValue(toggle_ && value_ != 0 ? 0.0f : 100.0f);
  } else if (code == kStep && image_) {
    const int g = image_->descriptor.lastFrame;
    if (g <= 0) return;
    const int start = (g * static_cast<int>(std::floor(std::clamp(value_, 0.0f, 100.0f))) + 50) / 100;
    // On to the next frame (0 past the last), again while the value moved
    // but the frame shown did not.
    int k = start;
    float v = value_;
    for (int i = 0; i <= g + 1; ++i) {
      k = k + 1 > g ? 0 : k + 1;
      const float next = static_cast<float>(k * 100 / g);
      const bool changed = next != v;
      v = next;
      const int shown = (static_cast<int>(std::floor(v + 0.5f)) * g + 50) / 100;
      if (!changed || shown != start) break;
    }
    SetValue(v);
  }
}

void CMyBmpCtrl::OnLButtonDown(std::uint32_t flags, Point p) {
  if (!Has(VF_READ_ONLY)) {
    SetCapture();
    const int code = Code();
    if (code == kClick || code == kStep) {
      Press();
    } else {
      last_ = p;
      rotary_ = 0;
    }
  }
  CVisualOb::OnLButtonDown(flags, p);
}

void CMyBmpCtrl::OnLButtonUp(std::uint32_t flags, Point p) {
  if (!HasCapture()) return;
  ReleaseCapture();
  if (Code() == kClick && !toggle_) SetValue(0);
}

void CMyBmpCtrl::OnPointerMove(std::uint32_t flags, Point p) {
  if (!HasCapture()) return;
  const int code = Code();
  if (code == kClick || code == kStep) return;
  const Point q = last_;
  last_ = p;
  if (code == kRotary) {
    const float change = RotaryChange(GetClientRect(), p, q, rotary_, 0.75f, 0.25f, 20.0f);
    SetValue(value_ + (rotary_ <= 0 && Ctrl(flags) ? change * 0.1f : change));
    return;
  }
  SetValue(value_ + DragChange(code, p, q, Ctrl(flags) ? 0.1f : 0.5f));
}

void CMyBmpCtrl::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  const int code = Code();
  if (const float step = ArrowChange(code, key, 1.0f); step != 0) SetValue(value_ + step);
  else if (code == kClick && key == kKeySpace) { if (!Has(VF_READ_ONLY)) Press(); }
  else CVisualOb::OnKeyDown(key, repeat, flags);
}

void CMyBmpCtrl::OnKeyUp(int key, int repeat, std::uint32_t flags) {
  if (Code() == kClick && key == kKeySpace) {
    if (!toggle_) SetValue(0);
    return;
  }
  CVisualOb::OnKeyUp(key, repeat, flags);
}

void CMyBmpCtrl::AddContextMenuItems(ContextMenu& menu, Point p) {
  if (!mapper_) return CVisualOb::AddContextMenuItems(menu, p);
  if (InputState* in = Input()) in->contextMenuObject = this;
  menu.push_back({kCommandMidiLearn, "MIDI Learn"});
}

void CMyBmpCtrl::OnCommand(int id, Point p) {
  if (id == kCommandMidiLearn && mapper_) ValuesOf(*this).ArmMidiLearn(mapper_->Parameter());
  else CVisualOb::OnCommand(id, p);
}

// --- CMyBmpCtrl2: values 0..1 on its "Animation Position" plug ----------------------

void CMyBmpCtrl2::Show(float v) {
  value_ = v;
  const int o = ComputeOffset();
  if (o == offset_) return;
  offset_ = o;
  Invalidate();
}

void CMyBmpCtrl2::SetValue(float v) {
  v = std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f;
  if (v == value_) return;
  if (IsOpen() && positionPlug_) ValuesOf(*this).SetPlugValue(*positionPlug_, FloatText(v));
  Show(v);
}

void CMyBmpCtrl2::Refresh() {
  if (!positionPlug_ || HasCapture()) return;
  const std::string text = ValuesOf(*this).PlugValue(*positionPlug_);
  const double v = std::atof(text.c_str());
  const float held = std::isfinite(v) ? static_cast<float>(std::clamp(v, 0.0, 1.0)) : 0.0f;
  if (held != value_) Show(held);
}

void CMyBmpCtrl2::SetMouseDown(bool down) {
  if (IsOpen() && mouseDownPlug_) ValuesOf(*this).SetPlugValue(*mouseDownPlug_, down ? "1" : "0");
}

void CMyBmpCtrl2::OnLButtonDown(std::uint32_t flags, Point p) {
  SetCapture();
  SetMouseDown(true);
  const int code = Code();
  if (code == kClick) {
    SetValue(value_ != 0 ? 0.0f : 1.0f);
  } else if (code == kStep && image_) {
    const int g = image_->descriptor.lastFrame;
    if (g > 0) {
      int k = static_cast<int>(std::floor(static_cast<float>(g) * value_ + 0.5f)) + 1;
      if (k > g) k = 0;
      SetValue(static_cast<float>(k) / static_cast<float>(g));
    }
  } else {
    last_ = p;
    rotary_ = 0;
  }
  CVisualOb::OnLButtonDown(flags, p);
}

void CMyBmpCtrl2::OnLButtonUp(std::uint32_t flags, Point p) {
  if (!HasCapture()) return;
  ReleaseCapture();
  SetMouseDown(false);
  if (Code() == kClick) SetValue(0);
}

void CMyBmpCtrl2::OnPointerMove(std::uint32_t flags, Point p) {
  if (!HasCapture()) return;
  const int code = Code();
  if (code == kClick || code == kStep) return;
  const Point q = last_;
  last_ = p;
  if (code == kRotary) {
    float change = RotaryChange(GetClientRect(), p, q, rotary_, 0.9f, 0.1f, 20.0f);
    if (Ctrl(flags)) change *= 0.1f;
    SetValue(value_ + change * 0.01f);
    return;
  }
  SetValue(value_ + DragChange(code, p, q, Ctrl(flags) ? 0.001f : 0.005f));
}

void CMyBmpCtrl2::OnKeyDown(int key, int repeat, std::uint32_t flags) {
  const int code = Code();
  if (const float step = ArrowChange(code, key, 0.01f); step != 0) SetValue(value_ + step);
  else if (code == kClick && key == kKeySpace) SetValue(1);
  else CVisualOb::OnKeyDown(key, repeat, flags);
}

void CMyBmpCtrl2::OnKeyUp(int key, int repeat, std::uint32_t flags) {
  if (Code() == kClick && key == kKeySpace) SetValue(0);
  else CVisualOb::OnKeyUp(key, repeat, flags);
}

// --- text buttons, labels that edit, lists that drop down ---------------------------

CMyTextButton::CMyTextButton(std::string text, std::unique_ptr<ControlMapper> mapper, std::uint32_t flags)
    : CMyTextLabel(std::move(text), "control_label", flags), mapper_(std::move(mapper)) {
  if (mapper_) mapper_->Attach(*this);
}

void CMyTextButton::OnLButtonDown(std::uint32_t flags, Point p) {
  SetCapture();
  CVisualOb::OnLButtonDown(flags, p);
  if (mapper_) mapper_->SetWidgetValue(ValuesOf(*this), 1.0f);
}

void CMyTextButton::OnLButtonUp(std::uint32_t, Point) {
  if (!HasCapture()) return;
  ReleaseCapture();
  if (mapper_) mapper_->SetWidgetValue(ValuesOf(*this), 0.0f);
}

bool CMyTextLabel2::ReadOnly() { return !modePlug_ || ParameterTextToInt(ValuesOf(*this).PlugValue(*modePlug_)) != 0; }

void CMyTextLabel2::OnLButtonDown(std::uint32_t flags, Point p) {
  if (!ReadOnly()) SetCapture();
  CVisualOb::OnLButtonDown(flags, p);
}

void CMyTextLabel2::OnLButtonUp(std::uint32_t, Point) {
  if (!HasCapture()) return;
  ReleaseCapture();
  Clicked();
}

void CMyTextLabel2::Clicked() {
  if (!textPlug_ || ReadOnly()) return;
  // One edit box, made on the first click and opened again on the next.
  CVisualOb* edit = Children().empty() ? &AddChild(std::make_unique<CMyEdit2>(*textPlug_)) : Children().front().get();
  edit->SetRect(GetClientRect());
  if (!edit->IsOpen()) edit->Open();
  edit->SetFocus();
}

void CMyTextLabel2::Refresh() {
  CVisualOb::Refresh();
  std::string now = Text();
  if (now == shown_) return;
  shown_ = std::move(now);
  Invalidate();
}

void CMyListEntry::Clicked() {
  if (!textPlug_) return;
  std::vector<std::string> labels;
  std::vector<int> values;
  EnumListIterator it(ListText());
  for (it.First(); !it.IsDone() && labels.size() < 4096; it.Next()) {
    labels.push_back(it.CurrentLabel());
    values.push_back(it.CurrentValue());
  }
  const int current = ParameterTextToInt(ValuesOf(*this).PlugValue(*textPlug_));
  const auto at = std::find(values.begin(), values.end(), current);
  PanelValues* panelValues = &ValuesOf(*this);
  CPlug2* list = textPlug_;
  CDropDownList::Open(*this, GetClientRect(), std::move(labels), at == values.end() ? -1 : static_cast<int>(at - values.begin()),
                      [panelValues, list, values](int index) {
                        panelValues->SetPlugValue(*list, std::to_string(values[static_cast<std::size_t>(index)]));
                      });
}

// --- what other widgets show, when it changes elsewhere ------------------------------

namespace {

// Repaints ob when what it shows is no longer what it showed last.
template <class T>
void RepaintOnChange(CVisualOb& ob, T& shown, T now) {
  if (now == shown) return;
  shown = std::move(now);
  ob.Invalidate();
}

}  // namespace

void CMyTextLabel::Refresh() {
  if (source_) RepaintOnChange(*this, shown_, source_());
}

}  // namespace kr
