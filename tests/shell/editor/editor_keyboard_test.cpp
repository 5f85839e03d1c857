// The panel of the running plug-in: a key of the on-screen keyboard clicked
// on the panel reaches the audio side through the GUI-to-DSP queue, leaves
// the patch as the host's note-on, plays, and shows on the MIDI monitor's
// console from the DSP-to-GUI queue; level meters show what the audio side
// reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "editor_support.h"
#include "support/panel_rig.h"
#include "gui/panel/tty_panel.h"
#include "gui/visual/owner_drawn.h"
#include "gui/visual/widgets.h"

using namespace kr;

namespace {

using namespace vst;
using namespace kr::gui;
using krtest::EditorPlugin;

// The keyboard plays a saw voice and is also the patch's MIDI out and the
// monitor's input.
const char* kKeyboardPatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrKb", "panel_size": [260, 200], "instrument": true },
  "root": { "modules": [ {
    "module": "Container", "id": "synth", "title": "Synth",
    "plugs": [ {"name": "Left", "direction": "out", "type": "audio"},
               {"name": "MIDI Out", "direction": "out", "type": "midi"} ],
    "modules": [
      { "module": "KeyBoard", "id": "keys", "title": "Keys", "panel_rect": [10, 10, 130, 45] },
      { "module": "MIDI Monitor", "id": "monitor", "title": "Monitor", "rect": [10, 60, 210, 176] },
      { "module": "Container", "id": "voice", "title": "Voice",
        "plugs": [ {"name": "MIDI In", "direction": "in", "type": "midi"},
                   {"name": "Audio Out", "direction": "out", "type": "audio"} ],
        "modules": [
          {"module": "Midi to CV", "id": "notes"},
          {"module": "Oscillator", "id": "saw", "values": {"Waveform": "1"}},
          {"module": "VCA", "id": "amp"}
        ],
        "wires": [
          {"from": "io.MIDI In", "to": "notes.MIDI In"},
          {"from": "notes.Pitch", "to": "saw.Pitch"},
          {"from": "notes.Gate", "to": "amp.Volume"},
          {"from": "saw.Audio Out", "to": "amp.Signal"},
          {"from": "amp.Output", "to": "io.Audio Out"}
        ] }
    ],
    "wires": [
      {"from": "keys.MIDI Out", "to": "voice.MIDI In"},
      {"from": "keys.MIDI Out", "to": "io.MIDI Out"},
      {"from": "keys.MIDI Out", "to": "monitor.MIDI In"},
      {"from": "voice.Audio Out", "to": "io.Left"}
    ]
  } ] }
})";

class EditorKeyboard : public EditorPlugin {
 protected:
  // The owner-drawn areas of the panel: the keyboard first, then the console.
  std::vector<CMyOwnerDrawn2*> Areas() {
    std::vector<CMyOwnerDrawn2*> out;
    krtest::WalkTree(Editor()->View(), [&](CVisualOb& ob) {
      if (auto* a = dynamic_cast<CMyOwnerDrawn2*>(&ob)) out.push_back(a);
    });
    std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->RootPosition().y < b->RootPosition().y; });
    return out;
  }
  // The note-ons and -offs the host was handed: (status, note, velocity).
  std::vector<std::array<int, 3>> SentNotes() {
    std::vector<std::array<int, 3>> out;
    for (const HostCall& call : host.CallsWithOpcode(audioMasterProcessEvents))
      for (const VstMidiEvent& e : call.events)
        out.push_back({static_cast<std::uint8_t>(e.midiData[0]), e.midiData[1], e.midiData[2]});
    return out;
  }
  static float Peak(std::span<float> block) {
    float peak = 0;
    for (float s : block) peak = std::max(peak, std::fabs(s));
    return peak;
  }
};

TEST_F(EditorKeyboard, AClickedKeyIsHeardSentToTheHostAndShownOnTheMonitor) {
  ASSERT_TRUE(Open(kKeyboardPatch));
  Resume();
  ASSERT_EQ(host.Dispatch(effEditOpen, 0, 0, nullptr), 1);
  host.Dispatch(effEditIdle);
  const auto areas = Areas();
  ASSERT_EQ(areas.size(), 2u);
  host.RunBlock();
  EXPECT_EQ(Peak(host.Output(0)), 0.0f) << "silent before a key is played";
  host.ClearCalls();

  // The black key between D and E: note 39.
  const Point at = areas[0]->RootPosition();
  PanelView& view = Editor()->View();
  view.MouseDown({at.x + 13, at.y + 2}, kLeftButton);
  host.RunBlock();
  host.RunBlock();
  EXPECT_EQ(SentNotes(), (std::vector<std::array<int, 3>>{{0x90, 39, 90}})) << "the note-on, channel 1, velocity 90";
  EXPECT_GT(Peak(host.Output(0)), 0.1f) << "the voice plays";
  host.Dispatch(effEditIdle);
  const auto& console = static_cast<TtyPanel&>(areas[1]->Drawn());
  ASSERT_EQ(console.Lines().size(), 1u);
  EXPECT_EQ(console.Lines().back(), "Ch 1 Note On 39 vel 90");

  host.ClearCalls();
  view.MouseUp({at.x + 13, at.y + 2}, 0);
  host.RunBlock();
  EXPECT_EQ(SentNotes(), (std::vector<std::array<int, 3>>{{0x80, 39, 64}}));
  host.Dispatch(effEditIdle);
  EXPECT_EQ(console.Lines().back(), "Ch 1 Note Off 39");

  // The computer keyboard plays it too.
  host.ClearCalls();
  view.KeyDown('Z', 0);
  host.RunBlock();
  EXPECT_EQ(SentNotes(), (std::vector<std::array<int, 3>>{{0x90, 48, 90}}));
  host.Close();
}

// Held notes stop when the editor closes; the next sound start finds none down.
TEST_F(EditorKeyboard, ClosingTheEditorStopsHeldNotes) {
  ASSERT_TRUE(Open(kKeyboardPatch));
  Resume();
  host.Dispatch(effEditOpen, 0, 0, nullptr);
  const Point at = Areas()[0]->RootPosition();
  Editor()->View().MouseDown({at.x + 5, at.y + 5}, kLeftButton);  // hold on
  Editor()->View().MouseUp({at.x + 5, at.y + 5}, 0);
  Editor()->View().MouseDown({at.x + 30, at.y + 15}, kLeftButton);
  Editor()->View().MouseUp({at.x + 30, at.y + 15}, 0);
  host.RunBlock();
  host.ClearCalls();
  host.Dispatch(effEditClose);
  host.RunBlock();
  EXPECT_EQ(SentNotes(), (std::vector<std::array<int, 3>>{{0x80, 45, 64}}));
  host.Close();
}

// The plug-in's panel shows what the running engine's meters report: a
// level meter fed with a steady 5 V shows "5.00" and a bar half lit.
TEST_F(EditorKeyboard, LevelMetersShowWhatTheAudioSideReports) {
  ASSERT_TRUE(Open(R"({
    "kestrune_patch": 1,
    "settings": { "id": "KrLv", "panel_size": [120, 140], "instrument": true },
    "root": { "modules": [ { "module": "Container", "id": "synth", "title": "Synth",
      "plugs": [ {"name": "Left", "direction": "out", "type": "audio"} ],
      "modules": [
        { "module": "PatchMemFloatIn", "id": "five", "title": "Five", "values": {"Value": "5"} },
        { "module": "FloatToVolts", "id": "volts", "values": {"Smoothing": "0"} },
        { "module": "Patch Parameter - Level Out", "id": "level", "title": "Level", "rect": [10, 10, 60, 130],
          "values": {"Update Rate": "40"} } ],
      "wires": [ {"from": "five.Value Out", "to": "volts.Float In"},
                 {"from": "volts.Volts Out", "to": "level.Signal in"},
                 {"from": "volts.Volts Out", "to": "io.Left"} ] } ] }
  })"));
  Resume();
  host.Dispatch(effEditOpen, 0, 0, nullptr);
  CMyTextLabel* text = nullptr;
  krtest::WalkTree(Editor()->View(), [&](CVisualOb& ob) {
    if (auto* t = dynamic_cast<CMyTextLabel*>(&ob); t && t->Text().find('.') != std::string::npos) text = t;
  });
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text(), "0.000") << "nothing reported yet";
  for (int i = 0; i < 40; ++i) host.RunBlock();  // 58 ms: two updates at 40 Hz
  host.Dispatch(effEditIdle);
  EXPECT_EQ(text->Text(), "5.00");
  CMyBmpCtrl* bar = krtest::FindWidget<CMyBmpCtrl>(Editor()->View());
  ASSERT_NE(bar, nullptr);
  EXPECT_FLOAT_EQ(bar->Value(), 50.0f);
  host.Close();
}

}  // namespace
