#include "gui/visual/tinted_image.h"

#include <algorithm>
#include <cmath>

#include "gui/draw/draw.h"
#include "gui/panel/panel_values.h"

namespace kr {

using namespace kr::gui;

std::uint32_t kr::gui::TintColour(float hue, float saturation, float brightness) {
  auto held = [](float v) { return std::isnan(v) ? 0.0 : std::clamp(static_cast<double>(v), 0.0, 1.0); };
  const double h = held(hue), s = held(saturation), v = held(brightness);
  double r = v, g = v, b = v;
  if (s != 0) {
    const int i = std::min(static_cast<int>(std::floor(6 * h)), 5);
    const double f = 6 * h - i;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    const double sectors[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
    r = sectors[i][0];
    g = sectors[i][1];
    b = sectors[i][2];
  }
  auto encode = [](double c) {
    return static_cast<std::uint32_t>(std::clamp(std::floor(std::pow(c, 1 / 2.2) * 255 + 0.5), 0.0, 255.0));
  };
  return encode(r) | encode(g) << 8 | encode(b) << 16;
}

CMyBmpCtrlTinted::CMyBmpCtrlTinted(const Plugs& plugs, const Tint& tint) : CMyBmpCtrl2(plugs), tint_(tint) {}

std::uint32_t CMyBmpCtrlTinted::ReadTint() {
  PanelValues& values = ValuesOf(*this);
  auto read = [&values](CPlug2* plug) { return plug ? UnitValue(values.PlugValue(*plug)) : 0.0f; };
  return TintColour(read(tint_.hue), read(tint_.saturation), read(tint_.brightness));
}

void CMyBmpCtrlTinted::Open() {
  colour_ = ReadTint();
  CMyBmpCtrl2::Open();
}

void CMyBmpCtrlTinted::Refresh() {
  CMyBmpCtrl2::Refresh();
  const std::uint32_t now = ReadTint();
  if (now == colour_) return;
  colour_ = now;
  Invalidate();
}

void CMyBmpCtrlTinted::DrawImage(DrawContext& dc) {
  const SkinImage& image = *Image();
  const auto& d = image.descriptor;
  if (d.type != skin::kKnob) return;
  DrawCoverage(dc, image.pixels, d.paddingLeft, d.paddingTop, d.frameWidth, d.frameHeight, 0, FrameOffset(), colour_);
}

}  // namespace kr
