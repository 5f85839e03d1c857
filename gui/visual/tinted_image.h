// An image read as a coverage map and painted in one colour, the tint,
// made from the plugs "Hue", "Saturation" and "Brightness" (0..1 each).
#pragma once

#include <cstdint>

#include "gui/visual/widgets.h"

namespace kr {

namespace gui {
// Hue, saturation and brightness (each held to 0..1; NaN reads as 0) as a
// colour 0x00BBGGRR, each channel gamma-encoded (power 1 / 2.2).
std::uint32_t TintColour(float hue, float saturation, float brightness);
}  // namespace gui

class CMyBmpCtrlTinted : public CMyBmpCtrl2 {
 public:
  struct Tint {
    CPlug2* hue = nullptr;
    CPlug2* saturation = nullptr;
    CPlug2* brightness = nullptr;
  };
  CMyBmpCtrlTinted(const Plugs& plugs, const Tint& tint);
  void Open() override;
  void Refresh() override;
  std::uint32_t TintColorRef() const { return colour_; }

 protected:
  kr::skin::PixelMode ImageMode() const override { return kr::skin::PixelMode::Coverage; }
  // Knob images only: the current frame in the tint.
  void DrawImage(kr::gui::DrawContext& dc) override;

 private:
  std::uint32_t ReadTint();
  Tint tint_;
  std::uint32_t colour_ = 0;
};

}  // namespace kr
