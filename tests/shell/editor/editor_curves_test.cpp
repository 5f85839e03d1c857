// The curve editors in the plug-in's X11 window while sound runs: a point
// dragged with the mouse reaches the audio side at once (the envelope's
// shape through its lock-free hand-over, the wave shape through the
// "shape" patch value) and the drag limits hold. Runs under an Xvfb the test
// starts; skipped without Xvfb.
#include <gtest/gtest.h>

#if KR_HAVE_X11

#include <X11/Xlib.h>

#include <algorithm>

#include "document/controls.h"
#include "document/plug2.h"
#include "editor_support.h"
#include "gui/panel/envelope_panel.h"
#include "gui/panel/wave_shape_panel.h"
#include "gui/visual/owner_drawn.h"
#include "support/panel_rig.h"
#include "support/xvfb.h"

namespace {

using namespace kr::gui;
using kr::vst::effEditIdle;
using kr::vst::effEditOpen;

constexpr int kBlock = 512;

// A note's gate through "Multistage Env" to the output, and a static input
// through "WaveShaper" to the second output.
const char* kCurvesPatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrCv", "panel_size": [320, 240], "instrument": true },
  "root": { "modules": [ { "module": "Container", "id": "synth", "title": "Synth",
    "plugs": [ {"name": "MIDI In", "direction": "in", "type": "midi"},
               {"name": "Left", "direction": "out", "type": "audio"},
               {"name": "Right", "direction": "out", "type": "audio"} ],
    "modules": [
      { "module": "Midi to CV", "id": "cv" },
      { "module": "Multistage Env", "id": "env", "title": "Env", "panel_rect": [4, 4, 304, 110] },
      { "module": "WaveShaper", "id": "shaper", "title": "Shaper", "rect": [4, 120, 124, 236],
        "values": { "Signal In": "0" } }
    ],
    "wires": [ {"from": "io.MIDI In", "to": "cv.MIDI In"}, {"from": "cv.Gate", "to": "env.Gate"},
               {"from": "env.Signal Out", "to": "io.Left"}, {"from": "shaper.Signal Out", "to": "io.Right"} ]
  } ] }
})";

class EditorCurves : public krtest::EditorPlugin {
 protected:
  void SetUp() override {
    if (!x.Connection()) GTEST_SKIP() << "Xvfb is not installed (or did not start): the X11 window is not tested";
    parent = XCreateSimpleWindow(x.Connection(), DefaultRootWindow(x.Connection()), 0, 0, 320, 240, 0, 0, 0);
    XMapWindow(x.Connection(), parent);
    XSync(x.Connection(), False);
    ASSERT_TRUE(Open(kCurvesPatch));
    host.Dispatch(kr::vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(kr::vst::effSetBlockSize, 0, kBlock);
    host.Dispatch(kr::vst::effMainsChanged, 0, 1);
    host.PrepareBlock(kBlock);
    ASSERT_EQ(host.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_NE(Editor()->Window(), nullptr);
    host.Dispatch(effEditIdle);
    krtest::WalkTree(Editor()->View(), [&](CVisualOb& ob) {
      auto* area = dynamic_cast<CMyOwnerDrawn2*>(&ob);
      if (area && dynamic_cast<EnvelopePanel*>(&area->Drawn())) envelope = area;
      if (area && dynamic_cast<WaveShapePanel*>(&area->Drawn())) shaper = area;
    });
    ASSERT_TRUE(envelope && shaper);
  }
  // A drag in the window from a point of an area by (dx, dy), in steps of at most 10 pixels.
  void Drag(CVisualOb& area, Point from, int dx, int dy) {
    const Point o = area.RootPosition();
    const auto window = static_cast<::Window>(Editor()->Window()->Handle());
    Display* d = x.Connection();
    krtest::SendButton(d, window, ButtonPress, ButtonPressMask, o.x + from.x, o.y + from.y, 0);
    const int steps = std::max({1, std::abs(dx) / 10, std::abs(dy) / 10});
    for (int i = 1; i <= steps; ++i)
      krtest::SendButton(d, window, MotionNotify, PointerMotionMask, o.x + from.x + dx * i / steps,
                         o.y + from.y + dy * i / steps, Button1Mask);
    krtest::SendButton(d, window, ButtonRelease, ButtonReleaseMask, o.x + from.x + dx, o.y + from.y + dy, Button1Mask);
    XSync(d, False);
    host.Dispatch(effEditIdle);
  }
  // Samples from a note-on until the envelope reaches full level (1.0);
  // then the note ends and the envelope falls back to 0.
  int AttackSamples() {
    // A block and the host's idle: a shape the audio side could not take
    // during the drag (its last one still waiting) is handed over again.
    host.RunBlock();
    host.Dispatch(effEditIdle);
    const kr::MidiAt on[] = {{0, 0x90, 60, 100}};
    int samples = -1;
    for (int block = 0; block < 200 && samples < 0; ++block) {
      host.RunBlock(block == 0 ? std::span<const kr::MidiAt>(on) : std::span<const kr::MidiAt>());
      const std::span<float> out = host.Output(0);
      for (std::size_t i = 0; i < out.size() && samples < 0; ++i)
        if (out[i] >= 0.9999f) samples = block * kBlock + static_cast<int>(i);
    }
    const kr::MidiAt off[] = {{0, 0x80, 60, 0}};
    host.RunBlock(off);
    for (int block = 0; block < 400 && host.Output(0).back() != 0.0f; ++block) host.RunBlock();
    return samples;
  }

  krtest::Xvfb x;
  ::Window parent = 0;
  CMyOwnerDrawn2* envelope = nullptr;
  CMyOwnerDrawn2* shaper = nullptr;
};

TEST_F(EditorCurves, DraggingTheFirstEnvelopePointLengthensTheAttackUpToTheNextPoint) {
  EXPECT_NEAR(AttackSamples(), 4410, 2) << "the default shape: full level at 0.1 s";

  auto* control = dynamic_cast<CControl*>(envelope->Parent()->Parent()->GetDocObject());
  ASSERT_NE(control, nullptr);
  ASSERT_NE(control->EnvelopeReceiver(), nullptr) << "sound runs";
  EnvelopeEditor& editor = static_cast<EnvelopePanel&>(envelope->Drawn()).Editor();
  editor.SetSize(envelope->GetClientRect().GetSize());
  const float pixelsPerSecond = static_cast<float>(editor.PixelsPerSecond());
  Drag(*envelope, editor.PointAt(0), static_cast<int>(0.15f * pixelsPerSecond), 0);
  const float moved = editor.Nodes().points[0].time;
  EXPECT_GT(moved, 0.2f);
  EXPECT_LT(moved, 0.3f);
  EXPECT_NEAR(AttackSamples(), moved * 44100.0f, 2) << "the new attack is heard";

  // Past the sustain point at 0.4 s and above full level: held at both.
  Drag(*envelope, editor.PointAt(0), static_cast<int>(0.6f * pixelsPerSecond), -40);
  EXPECT_EQ(editor.Nodes().points[0].time, 0.4f);
  EXPECT_EQ(editor.Nodes().points[0].level, 1.0f);
  EXPECT_NEAR(AttackSamples(), 17640, 2);
  EXPECT_EQ(control->EnvelopeText(), "(0.400000,1.000000)S(0.400000,0.800000)(1.000000,0.000000)");

  // The last point's level stays 0 however far it is dragged up.
  Drag(*envelope, editor.PointAt(2), 0, -60);
  EXPECT_EQ(editor.Nodes().points[2].level, 0.0f);
  host.Close();
}

TEST_F(EditorCurves, DraggingAWaveShapePointChangesTheShapedOutput) {
  host.RunBlock();
  EXPECT_NEAR(host.Output(1).back(), 0.0f, 0.002f) << "the straight line: 0 V in, 0 V out";

  WaveShapeEditor& editor = static_cast<WaveShapePanel&>(shaper->Drawn()).Editor();
  editor.SetSize(shaper->GetClientRect().GetSize());
  Drag(*shaper, editor.PointAt(5), 0, -30);
  const float volts = 5.0f - editor.Points().y[5] * 0.1f;
  EXPECT_GT(volts, 1.0f) << "the middle point went up";
  host.RunBlock();
  host.RunBlock();
  EXPECT_NEAR(host.Output(1).back() * 10.0f, volts, 0.06f) << "0 V in now gives the point's output";

  // The first point keeps its input at -5 V, whatever the drag.
  Drag(*shaper, editor.PointAt(0), 40, -20);
  EXPECT_EQ(editor.Points().x[0], 0.0f);
  CUG* module = dynamic_cast<CUG*>(shaper->Parent()->Parent()->GetDocObject());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Editor()->View().GetValues()->PlugValue(*module->FindPlug("shape")).substr(0, 6), "(-5.0,");
  host.Close();
}

}  // namespace

#else

TEST(EditorCurves, NeedsX11) { GTEST_SKIP() << "built without X11: the curve editors' window is not tested"; }

#endif
