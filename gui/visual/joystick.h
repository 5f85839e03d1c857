// The two-axis pad: an image (its handle) moved over the control's area by
// two values, X left to right and Y bottom to top (0..1 each), read from
// and written to the plugs "Position X" and "Position Y".
#pragma once

#include "gui/visual/widgets.h"

namespace kr {

class MyBmpCtrl_Joystick : public CMyBmpCtrl2 {
 public:
  struct Axes {
    CPlug2* x = nullptr;
    CPlug2* y = nullptr;
  };
  MyBmpCtrl_Joystick(const Plugs& plugs, const Axes& axes);
  void Open() override;
  void Refresh() override;
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnPointerMove(std::uint32_t flags, kr::gui::Point p) override;
  float X() const { return x_; }
  float Y() const { return y_; }

 protected:
  // The handle's top-left: X across and 1 - Y down the room the image
  // leaves in the control (none when the control is smaller than the image).
  kr::gui::Point ImageOrigin() override;

 private:
  // Holds both to 0..1, writes each that changed to its plug and moves the handle.
  void SetXY(float x, float y);
  void ShowAt(float x, float y);
  Axes axes_;
  float x_ = 0, y_ = 0;
};

}  // namespace kr
