// The golden panels, drawn pixel for pixel as tests/gui/golden/ holds them:
// a test patch with a test skin whose knob paints frame k in its own colour,
// and the self-drawing and file-choosing controls in the built-in skin.
// A golden changes only through its regeneration command:
//   build/dev/kestrune panel tests/data/panels/golden_panel.json -o tests/gui/golden/golden_panel.png
//   build/dev/kestrune panel tests/data/panels/golden_controls.json -o tests/gui/golden/golden_controls.png
//   build/dev/kestrune panel tests/data/panels/golden_widgets.json -o tests/gui/golden/golden_widgets.png
//   build/dev/kestrune panel tests/data/panels/golden_curves.json -o tests/gui/golden/golden_curves.png
#include <gtest/gtest.h>

#include "base/whole_file.h"
#include "formats/skin/png_codec.h"
#include "gui/visual/panel_objects.h"
#include "gui/visual/widgets.h"
#include "support/panel_rig.h"

using namespace kr;

namespace {

using kr::gui::Pixel;
using kr::gui::Rect;
using kr::gui::Rgb;

// The test knob's frame colours (tests/data/panels/make-test-skin.py).
const Pixel kFrameColours[] = {Rgb(255, 0, 0),   Rgb(0, 160, 0),   Rgb(0, 0, 255),  Rgb(255, 200, 0),
                               Rgb(0, 200, 200), Rgb(200, 0, 200), Rgb(120, 60, 0), Rgb(255, 255, 255)};

int FrameOfColour(Pixel p) {
  for (int k = 0; k < 8; ++k)
    if (kFrameColours[k] == p) return k;
  return -1;
}

// The frame each bitmap knob shows, read from the picture at its centre,
// in tree order.
void CollectKnobs(CVisualOb& ob, std::vector<CVisualOb*>& out) {
  if (dynamic_cast<CMyBmpCtrl*>(&ob) || dynamic_cast<CMyBmpCtrl2*>(&ob)) out.push_back(&ob);
  for (const auto& c : ob.Children()) CollectKnobs(*c, out);
}

std::vector<int> FramesShown(krtest::PanelRig& rig) {
  const auto pixels = rig.RenderAll();
  const int width = rig.view->PanelSize().width;
  std::vector<CVisualOb*> knobs;
  CollectKnobs(*rig.view, knobs);
  std::vector<int> frames;
  for (CVisualOb* k : knobs) {
    const kr::gui::Point at = k->RootPosition();
    const kr::gui::Size s = k->GetRect().GetSize();
    if (s.width != 16 || s.height != 16) continue;  // the test knobs only
    frames.push_back(FrameOfColour(pixels[static_cast<std::size_t>(at.y + 8) * width + at.x + 8]));
  }
  return frames;
}

const std::string& GoldenJson() {
  static const std::string text = krtest::ReadText(krtest::kGuiData / "golden_panel.json");
  return text;
}

// The patch data/<name>.json draws as golden/<name>.png.
void ExpectAsGolden(const std::string& name) {
  krtest::PanelRig rig(krtest::ReadText(krtest::kGuiData / (name + ".json")));
  EXPECT_EQ(krtest::PixelsDifferingFromGolden(rig, name), 0)
      << name << ": regenerate only on purpose: see the comment at the top of this file";
}

TEST(GoldenPanel, DrawsPixelForPixelAsTheGolden) { ExpectAsGolden("golden_panel"); }

// The keyboard, a MIDI monitor, a level meter, a SoundFont player's
// choosers and a text entry.
TEST(GoldenPanel, SelfDrawingAndChoosingControlsDrawAsTheirGolden) { ExpectAsGolden("golden_controls"); }

// Joysticks in the middle and at a corner; tinted discs in red, green, light
// blue and grey, a ring (frame 1), and one whose junk values read as black.
TEST(GoldenPanel, JoysticksAndTintedImagesDrawAsTheirGolden) { ExpectAsGolden("golden_widgets"); }

// The envelope (default shape, scales, zoom button, segment fields), the
// 11 points of "WaveShaper" and the formula curve of "WaveShaper2".
TEST(GoldenPanel, CurveEditorsDrawAsTheirGolden) { ExpectAsGolden("golden_curves"); }

// Knobs A, B, C (values per program, 0..10) and the image (0.5): frame
// (n x 7 + 50) / 100 of n = value x 10; the image floor(7 x 0.5 + 0.5).
TEST(GoldenPanel, KnobsShowTheFrameOfEachProgramsValue) {
  // In the panel's order: the container's objects front to back (the image, C, B, A).
  const std::vector<std::vector<int>> expected = {{4, 7, 4, 0}, {4, 0, 5, 2}, {4, 2, 7, 4}, {4, 4, 0, 7}};
  for (int program = 0; program < 4; ++program) {
    krtest::PanelRig rig(GoldenJson(), krtest::kGuiData, program);
    EXPECT_EQ(FramesShown(rig), expected[program]) << "program " << program;
  }
}

// Style colours are 0x00BBGGRR: "#00C8FF" is orange (red FF, green C8, blue 00).
TEST(GoldenPanel, StyleColoursKeepTheirChannelOrder) {
  krtest::PanelRig rig(GoldenJson());
  const auto pixels = rig.RenderAll();
  const int width = rig.view->PanelSize().width;
  int orange = 0, bluish = 0;
  // The row of module titles ("A", "B", "C", "On", "Peak").
  for (int y = 30; y < 45; ++y)
    for (int x = 0; x < width; ++x) {
      const Pixel p = pixels[static_cast<std::size_t>(y) * width + x];
      if (kr::gui::RedOf(p) > 200 && kr::gui::BlueOf(p) < 60 && kr::gui::GreenOf(p) > 150) ++orange;
      if (kr::gui::BlueOf(p) > 200 && kr::gui::RedOf(p) < 60) ++bluish;
    }
  EXPECT_GT(orange, 20);
  EXPECT_EQ(bluish, 0);
}

// Any area painted on its own (tiles then start elsewhere) equals the same
// area of the whole picture.
TEST(GoldenPanel, RepaintingAnAreaEqualsTheWholePicture) {
  krtest::PanelRig rig(GoldenJson());
  const auto whole = rig.RenderAll();
  const int width = rig.view->PanelSize().width;
  const Rect areas[] = {{0, 0, 300, 190}, {37, 53, 170, 141}, {1, 1, 2, 2},     {129, 5, 131, 189},
                        {3, 127, 297, 130}, {250, 20, 300, 190}, {10, 150, 41, 171}, {200, 0, 233, 33}};
  for (const Rect& r : areas) {
    const auto part = rig.Render(r);
    int differing = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        differing += part[static_cast<std::size_t>(y - r.top) * r.Width() + (x - r.left)] !=
                     whole[static_cast<std::size_t>(y) * width + x];
    EXPECT_EQ(differing, 0) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

// Hits: a knob answers, a group box only on its frame, and an LED or meter
// (display only) lets the click through to the panel.
TEST(GoldenPanel, HitTestingFindsControlsAndLooksThroughGroupsAndDisplays) {
  krtest::PanelRig rig(GoldenJson());
  std::vector<CVisualOb*> knobs;
  CollectKnobs(*rig.view, knobs);
  ASSERT_FALSE(knobs.empty());
  const kr::gui::Point at = knobs.front()->RootPosition();
  EXPECT_EQ(rig.view->HitTestAt({at.x + 8, at.y + 8}), knobs.front());
  CVisualOb* panel = rig.view->Children().front().get();
  EXPECT_EQ(rig.view->HitTestAt({150, 172}), panel);  // inside the group box
  CVisualOb* frame = rig.view->HitTestAt({60, 175});   // on its left edge
  ASSERT_NE(frame, nullptr);
  EXPECT_NE(dynamic_cast<CPanelBoxWnd*>(frame), nullptr);
  EXPECT_EQ(rig.view->HitTestAt({5000, 5000}), nullptr);
}

}  // namespace
