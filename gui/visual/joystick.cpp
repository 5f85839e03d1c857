#include "gui/visual/joystick.h"

#include <algorithm>
#include <cmath>

#include "gui/panel/panel_values.h"
#include "gui/visual/input_state.h"

namespace kr {

using namespace kr::gui;

namespace {
float Held(float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; }
}  // namespace

MyBmpCtrl_Joystick::MyBmpCtrl_Joystick(const Plugs& plugs, const Axes& axes) : CMyBmpCtrl2(plugs), axes_(axes) {
  SetFlags(VF_STRETCH_WIDTH | VF_RESIZABLE | VF_STRETCH_HEIGHT);
}

void MyBmpCtrl_Joystick::Open() {
  PanelValues& values = ValuesOf(*this);
  x_ = axes_.x ? UnitValue(values.PlugValue(*axes_.x)) : 0.0f;
  y_ = axes_.y ? UnitValue(values.PlugValue(*axes_.y)) : 0.0f;
  CMyBmpCtrl2::Open();
}

Point MyBmpCtrl_Joystick::ImageOrigin() {
  const SkinImage* image = Image();
  if (!image) return {0, 0};
  const auto& d = image->descriptor;
  const Size cell = ImageCell::Of(*image);
  const Size room{std::max(0, GetRect().Width() - cell.width), std::max(0, GetRect().Height() - cell.height)};
  return {d.paddingLeft + static_cast<int>(std::floor(x_ * static_cast<float>(room.width))),
          d.paddingTop + static_cast<int>(std::floor((1.0f - y_) * static_cast<float>(room.height)))};
}

void MyBmpCtrl_Joystick::ShowAt(float x, float y) {
  const Point before = ImageOrigin();
  x_ = x;
  y_ = y;
  if (ImageOrigin() != before) Invalidate();
}

void MyBmpCtrl_Joystick::SetXY(float x, float y) {
  x = Held(x);
  y = Held(y);
  if (IsOpen()) {
    PanelValues& values = ValuesOf(*this);
    if (x != x_ && axes_.x) values.SetPlugValue(*axes_.x, PlugFloatText(x));
    if (y != y_ && axes_.y) values.SetPlugValue(*axes_.y, PlugFloatText(y));
  }
  ShowAt(x, y);
}

void MyBmpCtrl_Joystick::Refresh() {
  CMyBmpCtrl2::Refresh();
  if (HasCapture()) return;
  PanelValues& values = ValuesOf(*this);
  ShowAt(axes_.x ? UnitValue(values.PlugValue(*axes_.x)) : x_, axes_.y ? UnitValue(values.PlugValue(*axes_.y)) : y_);
}

void MyBmpCtrl_Joystick::OnLButtonDown(std::uint32_t flags, Point p) {
  CMyBmpCtrl2::OnLButtonDown(flags, p);
  last_ = p;  // every response drags the handle
}

void MyBmpCtrl_Joystick::OnPointerMove(std::uint32_t flags, Point p) {
  if (!HasCapture()) return;
  const float gain = (flags & kControl) != 0 ? 0.001f : 0.005f;
  const Point q = last_;
  last_ = p;
  SetXY(x_ + gain * static_cast<float>(p.x - q.x), y_ - gain * static_cast<float>(p.y - q.y));
}

}  // namespace kr
