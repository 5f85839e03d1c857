// The editor as a host drives it: its rectangle, a headless open, a drag on
// the panel that the audio hears from the next block and the host hears as
// automation, and open while open, close and reopen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "editor_support.h"
#include "support/panel_rig.h"
#include "gui/visual/drop_down.h"
#include "gui/visual/standard_controls.h"
#include "gui/panel/panel_image.h"

using namespace kr;

namespace {

using namespace vst;
using namespace kr::gui;
using krtest::EditorPlugin;

TEST_F(EditorPlugin, RectangleComesFromTheDocumentBeforeOpen) {
  ASSERT_TRUE(Open(krtest::kLevelPanel));
  EXPECT_NE(host.Effect()->flags & effFlagsHasEditor, 0);
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 80);
  EXPECT_EQ(rect->right, 120);
  EXPECT_FALSE(Editor()->IsOpen());
  host.Close();
}

TEST_F(EditorPlugin, ADragOnThePanelSoundsFromTheNextBlockAndIsAutomated) {
  ASSERT_TRUE(Open(krtest::kLevelPanel));
  Resume();
  EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, nullptr), 1);  // headless
  host.Dispatch(effEditIdle);
  PanelView& view = Editor()->View();
  EXPECT_EQ(RenderPanelArea(view, {50, 30, 51, 31})[0], krtest::FrameColour(32)) << "level 5 of 0..10";
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).back(), 0.5f);
  host.ClearCalls();

  view.MouseDown({50, 30}, kLeftButton);
  view.MouseMove({50, 20}, kLeftButton);  // 10 pixels up: +0.05
  view.MouseUp({50, 20}, 0);
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).front(), 0.55f) << "the audio side has the value from the next block";
  const auto automated = host.CallsWithOpcode(audioMasterAutomate);
  ASSERT_EQ(automated.size(), 1u);
  EXPECT_EQ(automated[0].index, 0);
  EXPECT_FLOAT_EQ(automated[0].opt, 0.55f);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.55f);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 0), "5.50");

  // The host sets it back: the knob follows at the next editor idle.
  host.SetParameter(0, 0.25f);
  host.Dispatch(effEditIdle);
  EXPECT_EQ(RenderPanelArea(view, {50, 30, 51, 31})[0], krtest::FrameColour(16)) << "0.25 x 63 = frame 16";
  host.Close();
}

// A "List Entry" wired to an oscillator's "Waveform": choosing "Saw" in its
// drop-down list on the panel switches the wave the host hears from the next
// block, and the host hears of the choice.
TEST_F(EditorPlugin, AListEntryChosenOnThePanelSwitchesTheOscillatorsWave) {
  ASSERT_TRUE(Open(R"({
    "kestrune_patch": 1,
    "settings": { "id": "KrEl", "panel_size": [200, 160], "instrument": true },
    "root": { "modules": [ { "module": "Container", "id": "synth", "title": "Synth",
      "plugs": [ {"name": "Left", "direction": "out", "type": "audio"} ],
      "modules": [ { "module": "List Entry", "id": "wave", "title": "Wave", "panel_rect": [10, 10, 150, 40],
                     "control_values": [0] },
                   { "module": "Oscillator", "id": "osc" } ],
      "wires": [ {"from": "wave.Choice", "to": "osc.Waveform"}, {"from": "osc.Audio Out", "to": "io.Left"} ] } ] }
  })"));
  Resume();
  EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, nullptr), 1);
  host.Dispatch(effEditIdle);
  // How much of the full swing a wave spends at its extremes: a sine's mean
  // absolute value is 2/pi of its peak, a saw's one half.
  const auto fullness = [&] {
    host.RunBlock();  // the change lands in the first block
    float peak = 0.0f, sum = 0.0f;
    int n = 0;
    for (int block = 0; block < 69; ++block) {  // 100 periods of 440 Hz
      host.RunBlock();
      for (float v : host.Output(0)) {
        peak = std::max(peak, std::fabs(v));
        sum += std::fabs(v);
        ++n;
      }
    }
    return peak > 0.0f ? sum / static_cast<float>(n) / peak : 0.0f;
  };
  EXPECT_NEAR(fullness(), 0.637f, 0.03f);
  PanelView& view = Editor()->View();
  CMyCombobox* combo = krtest::FindWidget<CMyCombobox>(view);
  ASSERT_NE(combo, nullptr);
  host.ClearCalls();
  view.MouseDown(krtest::CentreOf(*combo), kLeftButton);
  view.MouseUp(krtest::CentreOf(*combo), 0);
  auto* list = dynamic_cast<CDropDownList*>(view.State().popup);
  ASSERT_NE(list, nullptr);
  const auto saw = std::find(list->Items().begin(), list->Items().end(), "Saw");
  ASSERT_NE(saw, list->Items().end()) << "the oscillator's waves are the list's items";
  const Rect row = list->RowRect(static_cast<int>(saw - list->Items().begin()));
  const Point at = list->RootPosition();
  view.MouseDown({at.x + row.left + 4, at.y + row.top + 2}, kLeftButton);
  view.MouseUp({at.x + row.left + 4, at.y + row.top + 2}, 0);
  EXPECT_NEAR(fullness(), 0.5f, 0.03f);
  const auto automated = host.CallsWithOpcode(audioMasterAutomate);
  ASSERT_EQ(automated.size(), 1u);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 0), "Saw");
  host.Close();
}

TEST_F(EditorPlugin, OpenWhileOpenClosesFirstAndCloseForgetsTheGesture) {
  ASSERT_TRUE(Open(krtest::kLevelPanel));
  host.Dispatch(effEditOpen, 0, 0, nullptr);
  PanelView& view = Editor()->View();
  view.MouseDown({50, 30}, kLeftButton);
  ASSERT_NE(view.State().capture, nullptr);
  host.Dispatch(effEditOpen, 0, 0, nullptr);
  EXPECT_TRUE(Editor()->IsOpen());
  EXPECT_EQ(view.State().capture, nullptr) << "a fresh tree holds no capture";
  EXPECT_EQ(view.State().focus, nullptr);
  view.MouseDown({50, 30}, kLeftButton);
  host.Dispatch(effEditClose);
  EXPECT_FALSE(Editor()->IsOpen());
  EXPECT_EQ(view.State().capture, nullptr);
  view.MouseMove({50, 10}, kLeftButton);  // nothing open: nothing moves
  host.Dispatch(effEditIdle);
  host.Dispatch(effEditClose);  // closing twice is harmless
  host.Close();
}

}  // namespace
