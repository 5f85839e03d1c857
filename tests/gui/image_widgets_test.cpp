// The joystick and the tinted image on a panel of the test skin: a drag
// moves both of the joystick's values, held to 0..1 at the edges, values from
// the patch move its handle, and only the handle is hit; the tint follows
// hue, saturation and brightness, out-of-range and junk values held, and a
// new file name loads its image again; the list entry's drop-down writes
// only items it has.
#include <gtest/gtest.h>

#include <limits>

#include "gui/visual/combo_box2.h"
#include "gui/visual/joystick.h"
#include "gui/visual/tinted_image.h"
#include "support/panel_rig.h"

namespace krtest {
using namespace kr;

namespace {

using namespace kr::gui;

// The pad is 60 x 60 with a 10 x 10 handle: 50 pixels of travel each way.
const char* kWidgetsPatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrIw", "panel_size": [200, 100] },
  "skins": [ { "name": "test", "path": "skins/test" } ],
  "root": { "skin": "test", "modules": [ { "module": "Container", "id": "top", "skin": "test", "modules": [
    { "module": "Joystick Image", "id": "pad", "panel_rect": [20, 20, 80, 80],
      "values": { "Filename": "joy_handle", "Position X": "0.5", "Position Y": "0.5" } },
    { "module": "Tinted Image", "id": "tint", "panel_rect": [100, 20, 116, 36],
      "values": { "Filename": "tint_disc", "Hue": "0", "Saturation": "1", "Brightness": "1" } }
  ] } ] }
})";

const Pixel kHandleCentre = Rgb(255, 40, 40);

class ImageWidgets : public ::testing::Test {
 protected:
  ImageWidgets() : rig(kWidgetsPatch) {}
  CPlug2& Plug(const char* module, const char* plug) { return *ModuleTitled(*rig.document, module).FindPlug(plug); }
  std::string Pad(const char* plug) { return Plug("Joystick Image", plug).ValueText(); }
  void SetValue(const char* module, const char* plug, const char* text) {
    Plug(module, plug).SetValueText(text);
    rig.view->Refresh();
  }
  MyBmpCtrl_Joystick& Pad() { return *FindWidget<MyBmpCtrl_Joystick>(*rig.view); }
  CMyBmpCtrlTinted& Tint() { return *FindWidget<CMyBmpCtrlTinted>(*rig.view); }
  // The centre of the joystick's handle on the panel.
  Point Handle() { return {25 + static_cast<int>(Pad().X() * 50), 25 + static_cast<int>((1 - Pad().Y()) * 50)}; }
  void Drag(Point from, Point to, std::uint32_t flags = 0) {
    rig.view->MouseDown(from, kLeftButton);
    rig.view->MouseMove(to, kLeftButton | flags);
    rig.view->MouseUp(to, 0);
  }

  PanelRig rig;
};

TEST_F(ImageWidgets, AJoystickDragMovesBothValuesAndHoldsThemAtTheEdges) {
  const Point p = Handle();
  ASSERT_EQ(p, (Point{50, 50}));
  rig.view->MouseDown(p, kLeftButton);
  EXPECT_EQ(Pad("Mouse Down"), "1");
  rig.view->MouseMove({p.x + 10, p.y - 10}, kLeftButton);  // right and up: both grow by 0.005 a pixel
  EXPECT_NEAR(std::atof(Pad("Position X").c_str()), 0.55, 1e-6);
  EXPECT_NEAR(std::atof(Pad("Position Y").c_str()), 0.55, 1e-6);
  rig.view->MouseMove({p.x + 10, p.y - 20}, kLeftButton | kControl);  // Ctrl: 0.001 a pixel, Y alone
  EXPECT_NEAR(std::atof(Pad("Position X").c_str()), 0.55, 1e-6);
  EXPECT_NEAR(std::atof(Pad("Position Y").c_str()), 0.56, 1e-6);
  rig.view->MouseMove({p.x + 500, p.y - 500}, kLeftButton);
  rig.view->MouseUp({p.x + 500, p.y - 500}, 0);
  EXPECT_EQ(Pad("Mouse Down"), "0");
  EXPECT_EQ(Pad("Position X") + "," + Pad("Position Y"), "1,1");
  EXPECT_EQ(rig.PixelAt({75, 25}), kHandleCentre) << "top-right corner";

  Drag(Handle(), {-900, 900});
  EXPECT_EQ(Pad("Position X") + "," + Pad("Position Y"), "0,0");
  EXPECT_EQ(rig.PixelAt({25, 75}), kHandleCentre) << "bottom-left corner";
}

TEST_F(ImageWidgets, AJoystickFollowsThePatchAndIsHitOnlyOnItsHandle) {
  SetValue("Joystick Image", "Position X", "7");
  SetValue("Joystick Image", "Position Y", "-3");
  EXPECT_EQ(rig.PixelAt({75, 75}), kHandleCentre) << "held to 1 and 0";
  SetValue("Joystick Image", "Position X", "nan");
  SetValue("Joystick Image", "Position Y", "0.2");
  EXPECT_EQ(Handle(), (Point{25, 65})) << "junk reads as 0";
  EXPECT_EQ(rig.view->HitTestAt(Handle()), &Pad());
  EXPECT_NE(rig.view->HitTestAt({60, 30}), &Pad()) << "the pad away from its handle lets clicks through";
  Drag({60, 30}, {70, 20});
  EXPECT_EQ(Pad("Position Y"), "0.2");
}

TEST(TintColour, HueSaturationAndBrightnessAtTheirEdges) {
  EXPECT_EQ(TintColour(0, 1, 1), 0x000000FFu) << "red as 0x00BBGGRR";
  EXPECT_EQ(TintColour(0.5f, 1, 1), 0xFFFF00u) << "cyan";
  EXPECT_EQ(TintColour(1, 1, 1), 0x000000FFu) << "hue 1: the last sector, red again";
  EXPECT_EQ(TintColour(0, 0, 0.5f), 0xBABABAu) << "grey: 0.5 ^ (1 / 2.2) x 255 + 0.5 = 186.6";
  EXPECT_EQ(TintColour(7, 3, 9), TintColour(1, 1, 1)) << "held to 1";
  EXPECT_EQ(TintColour(-1, 1, 1), TintColour(0, 1, 1)) << "held to 0";
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(TintColour(nan, 1, inf), 0x000000FFu) << "NaN reads as 0, infinity is held to 1";
  EXPECT_EQ(TintColour(0, -inf, 0.5f), 0xBABABAu) << "minus infinity is held to 0";
  EXPECT_EQ(TintColour(0.25f, 0.5f, 1), 0xBAFFE0u)
      << "sector 1 at f = 0.5: (q, v, p) = (0.75, 1, 0.5), encoded 224, 255, 186";
}

TEST_F(ImageWidgets, ATintedImageRepaintsInItsNewColourAndIsHitOnlyWhereCovered) {
  const Point centre{108, 28};
  EXPECT_EQ(Tint().TintColorRef(), 0x0000FFu);
  EXPECT_EQ(rig.PixelAt(centre), Rgb(255, 0, 0));
  SetValue("Tinted Image", "Hue", "0.5");
  EXPECT_EQ(Tint().TintColorRef(), 0xFFFF00u);
  EXPECT_EQ(rig.PixelAt(centre), Rgb(0, 255, 255));
  EXPECT_EQ(rig.view->HitTestAt(centre), &Tint());
  EXPECT_NE(rig.view->HitTestAt({100, 20}), &Tint()) << "a corner the disc does not cover";

  SetValue("Tinted Image", "Filename", "");
  EXPECT_NE(rig.PixelAt(centre), Rgb(0, 255, 255)) << "no image: the placeholder";
  EXPECT_EQ(rig.view->HitTestAt(centre), &Tint()) << "and clickable all over";
  SetValue("Tinted Image", "Filename", "tint_disc");
  EXPECT_EQ(rig.PixelAt(centre), Rgb(0, 255, 255)) << "loaded again";
}

// The plugs of the two objects are stored with them: their order is a file format.
TEST_F(ImageWidgets, JoystickAndTintedImagesCarryTheirPlugsInOrder) {
  for (const auto& [module, plugs] :
       {std::pair{"Joystick Image", "Animation Position,Position X,Position Y,Filename,Mouse Down,"},
        std::pair{"Tinted Image", "Animation Position,Filename,Hue,Saturation,Brightness,Mouse Down,"}}) {
    std::string names;
    for (const auto& p : ModuleTitled(*rig.document, module).Plugs()) names += p->Name() + ",";
    EXPECT_EQ(names, plugs);
  }
}

TEST_F(ImageWidgets, AListDropDownWritesOnlyItemsItHas) {
  const ComboItems huge = ComboItems::Of("range 0,100000");
  EXPECT_EQ(huge.labels.size(), ComboItems::kMaxComboItems);
  const ComboItems items = ComboItems::Of("Low=3,High=7");
  EXPECT_EQ(items.RowOf(7), 1);
  EXPECT_EQ(items.RowOf(5), -1);

  CPlug2& list = Plug("Tinted Image", "Hue");
  CMyComboBox2* combo = CMyComboBox2::Open(Pad(), Pad().GetClientRect(), list, nullptr, "Low=3,High=7");
  ASSERT_NE(combo, nullptr);
  combo->Finish(5);  // past the items: nothing written
  EXPECT_EQ(list.ValueText(), "0");
  combo = CMyComboBox2::Open(Pad(), Pad().GetClientRect(), list, nullptr, "Low=3,High=7");
  ASSERT_NE(combo, nullptr);
  combo->Finish(1);
  EXPECT_EQ(list.ValueText(), "7");
  EXPECT_EQ(CMyComboBox2::Open(Pad(), Pad().GetClientRect(), list, nullptr, ""), nullptr) << "nothing to choose";
}

}  // namespace
}  // namespace krtest
