// GUI-side modules in the plug-in: a knob on the panel sets a patch value
// through a scaler, the sound has it from the next block, and a spring
// puts the knob back when the mouse lets go.
#include <gtest/gtest.h>

#include "editor_support.h"

namespace krtest {
using namespace kr;

namespace {

// "Level" (0..10) drives the output as Level / 10. The knob's position
// (0..1) reaches it through "UiFloatScaler" (x 10); "Spring" resets the
// position to 0.2 when the knob's "Mouse Down" (held by a "Bool Splitter")
// falls.
const char* kScaledKnobPanel = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrGs", "panel_size": [120, 80], "instrument": true },
  "skins": [ { "name": "editor", "path": "skins/editor" } ],
  "root": { "skin": "editor", "modules": [ {
    "module": "Container", "id": "synth", "title": "Synth", "skin": "editor",
    "plugs": [ {"name": "Left", "direction": "out", "type": "audio"} ],
    "modules": [
      { "module": "PatchMemFloatIn", "id": "level", "title": "Level", "values": {"Value": "5"} },
      { "module": "FloatToVolts", "id": "volts", "values": {"Smoothing": "0"} },
      { "module": "UiFloatScaler", "id": "scale", "values": {"Multiply by": "10"} },
      { "module": "Bool Splitter", "id": "down" },
      { "module": "Spring", "id": "spring", "values": {"Reset Value": "0.2"} },
      { "module": "Image", "id": "knob", "panel_rect": [40, 20, 60, 40], "values": {"Filename": "knob_big"} }
    ],
    "wires": [
      {"from": "level.Value Out", "to": "volts.Float In"},
      {"from": "volts.Volts Out", "to": "io.Left"},
      {"from": "scale.Value Out", "to": "level.Value"},
      {"from": "knob.Animation Position", "to": "scale.Value In"},
      {"from": "knob.Mouse Down", "to": "down.In"},
      {"from": "spring.Mouse Down", "to": "down.In"},
      {"from": "spring.Normalised Value", "to": "scale.Value In"}
    ]
  } ] }
})";

TEST_F(EditorPlugin, AKnobThroughAScalerSetsTheLevelAndASpringPutsItBack) {
  ASSERT_TRUE(Open(kScaledKnobPanel));
  Resume();
  ASSERT_EQ(host.Dispatch(vst::effEditOpen, 0, 0, nullptr), 1);  // headless
  host.Dispatch(vst::effEditIdle);
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).back(), 0.5f);

  gui::PanelView& view = Editor()->View();
  view.MouseDown({50, 30}, gui::kLeftButton);
  view.MouseMove({50, 20}, gui::kLeftButton);  // 10 pixels up: +0.05
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).front(), 0.55f) << "position 0.55, times 10, is the level";
  view.MouseUp({50, 20}, 0);
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).front(), 0.2f) << "released: the spring set the position back to 0.2";
  host.Close();
}

}  // namespace
}  // namespace krtest
