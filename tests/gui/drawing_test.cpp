// The drawing surface and layout rules: blending, the linear-light tables,
// the tile loop, the grid and the panel size.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/draw/draw.h"
#include "gui/draw/linear_light.h"
#include "gui/draw/tile_painter.h"
#include "gui/visual/layout.h"
#include "support/panel_rig.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

using namespace kr::gui;

TEST(Drawing, LinearLightTablesAndTheirInverse) {
  const LinearLight& ll = LinearLight::Get();
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(ll.ToLinear(i), static_cast<int>(std::floor(std::pow(i / 255.0, 2.2) * 16384 + 0.5))) << i;
    if (i > 2) {
      EXPECT_EQ(ll.FromLinear(ll.ToLinear(i)), i) << i;  // 0..2 share the value 0
    }
  }
  EXPECT_EQ(ll.FromLinear(0), 0);
  EXPECT_EQ(ll.FromLinear(1 << 20), 255);
}

TEST(Drawing, BlitsBlendByTransparencyAndClipToImageAndTile) {
  Tile tile;
  tile.pixels.fill(Rgb(255, 255, 255));
  DrawContext dc(tile, {0, 0}, {0, 0, 128, 128});
  kr::skin::SkinPixels image;
  image.width = 3;
  image.height = 1;
  image.colour = {0x80102030, 0xFF000000, 0x00405060};  // half, invisible, opaque
  DrawLinear(dc, image, 0, 0, 3, 1, 0, 0);
  const int s = 0x10;
  EXPECT_EQ(RedOf(tile.pixels[0]), s + ((255 - s) * 128 >> 8));
  EXPECT_EQ(tile.pixels[1], Rgb(255, 255, 255));
  EXPECT_EQ(tile.pixels[2], Rgb(0x40, 0x50, 0x60));
  // A source rectangle past the image and a destination past the tile draw
  // only what both hold.
  DrawLinear(dc, image, 126, 5, 50, 50, 2, -3);
  EXPECT_EQ(tile.pixels[8 * 128 + 126], Rgb(0x40, 0x50, 0x60));
  EXPECT_EQ(tile.pixels[8 * 128 + 127], Rgb(255, 255, 255));
  EXPECT_EQ(tile.pixels[9 * 128 + 126], Rgb(255, 255, 255));
}

// A coverage map in a 0x00BBGGRR colour lands on the tile as 0x00RRGGBB.
TEST(Drawing, CoverageColourChangesChannelOrder) {
  Tile tile;
  DrawContext dc(tile, {0, 0}, {0, 0, 128, 128});
  kr::skin::SkinPixels map;
  map.width = 2;
  map.height = 1;
  map.mode = kr::skin::PixelMode::Coverage;
  map.coverage = {255, 0};
  tile.pixels[1] = Rgb(1, 2, 3);
  DrawCoverage(dc, map, 0, 0, 2, 1, 0, 0, 0x00336699);
  EXPECT_EQ(tile.pixels[0], Rgb(0x99, 0x66, 0x33));
  EXPECT_EQ(tile.pixels[1], Rgb(1, 2, 3));
}

TEST(Drawing, TileLoopStartsOnMultiplesOfFourAndCoversTheArea) {
  std::vector<Point> starts;
  Rect covered{};
  int painted = 0;
  PaintTiles({5, 130, 300, 261}, [](DrawContext&) {},
             [&](const Tile&, Point at, const Rect& r) {
               starts.push_back(at);
               covered = covered.Union(r);
               painted += r.Width() * r.Height();
             });
  ASSERT_EQ(starts.size(), 6u);
  EXPECT_EQ(starts.front(), (Point{4, 128}));
  EXPECT_EQ(starts.back(), (Point{260, 256}));
  EXPECT_EQ(covered, (Rect{5, 130, 300, 261}));
  EXPECT_EQ(painted, 295 * 131);
  EXPECT_EQ(SnapDown4(-3), -4);
}

class Fixed : public CVisualOb {
 public:
  explicit Fixed(Size s, std::uint32_t flags = 0) : CVisualOb(nullptr, flags), size_(s) {}
  Size GetPreferredSize() override { return size_; }

 private:
  Size size_;
};

TEST(Layout, GridRowsCentreTheirItemsAndGiveSurplusToStretchers) {
  CGroup grid;
  CVisualOb& small = grid.AddItem(std::make_unique<Fixed>(Size{10, 20}), 0, 0);
  grid.AddItem(std::make_unique<Fixed>(Size{15, 30}), 0, 1);
  CVisualOb& wide = grid.AddItem(std::make_unique<Fixed>(Size{5, 5}, VF_STRETCH_WIDTH | VF_CENTRE_H));
  EXPECT_EQ(grid.GetPreferredSize(), (Size{10 + 2 + 15 + 2, 30 + 4 + 5 + 4}));
  grid.SetRect({0, 0, 100, 10});  // too small: held to the preferred height
  EXPECT_EQ(small.GetRect(), (Rect{0, 5, 10, 25}));  // 5 pixels lower than the row's top
  EXPECT_EQ(wide.GetRect().Width(), 10 + 100 - 29);
  EXPECT_EQ(grid.GetRect().Height(), 43);
}

TEST(Layout, PanelSizeFallsBackToTheContentAndIsHeld) {
  EXPECT_EQ(HeldPanelSize(400, 300, {50, 60}), (Size{400, 300}));
  EXPECT_EQ(HeldPanelSize(0, -5, {50, 60}), (Size{50, 60}));
  EXPECT_EQ(HeldPanelSize(70000, 40000, {1, 1}), (Size{32767, 32767}));
  EXPECT_EQ(HeldPanelSize(0, 0, {0, 0}), (Size{1, 1}));
  // A patch without a panel size shows what stands on its panel.
  krtest::PanelRig rig(R"({"root": {"modules": [{"module": "Container", "modules": [
      {"module": "Slider", "panel_rect": [100, 40, 130, 70]}]}]}})");
  EXPECT_GT(rig.view->PanelSize().width, 100);
  EXPECT_GT(rig.view->PanelSize().height, 40);
  EXPECT_LT(rig.view->PanelSize().width, 200);
}

TEST(Layout, AnImageNoSkinHasIsNamedOnce) {
  krtest::MessageCapture messages;
  // The name is said once, as the path the default skin folder would hold.
  krtest::PanelRig rig(R"({"root": {"modules": [{"module": "Container", "modules": [
      {"module": "Image", "panel_rect": [0, 0, 20, 20], "values": {"Filename": "no such image"}},
      {"module": "Image", "panel_rect": [30, 0, 50, 20], "values": {"Filename": "no such image.png"}}]}]}})");
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "Error Loading Image.  Check this file exists: default\\no such image.png");
  EXPECT_FALSE(rig.RenderAll().empty());
}

}  // namespace
