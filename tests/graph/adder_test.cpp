// The adders inserted where several wires meet at one input.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/audio_master.h"
#include "engine/msg_id.h"
#include "engine/ug_container.h"
#include "graph_support.h"
#include "modules/mix/ug_adder.h"
#include "registry/module_info.h"

using namespace kr;

using namespace krtest;

namespace {

ug_adder* FindAdder(ug_container& root) {
  std::vector<ug_base*> all;
  root.CollectModules(all);
  for (ug_base* m : all)
    if (auto* a = dynamic_cast<ug_adder*>(m)) return a;
  return nullptr;
}

// Two sources into the "In" of a pass module that feeds output 0.
Patch TwoIntoOne(CUG*& first, CUG*& second, const char* firstName, const char* secondName, int inputs) {
  Patch p = MakePatch(inputs, 1);
  CUG& sum = p.Add(*p.top, kPass);
  first = &p.Add(*p.top, firstName);
  second = &p.Add(*p.top, secondName);
  p.Wire(*p.top, PlugNamed(*first, "Out"), PlugNamed(sum, "In"));
  p.Wire(*p.top, PlugNamed(*second, "Out"), PlugNamed(sum, "In"));
  p.Wire(*p.top, PlugNamed(sum, "Out"), Patch::Inside(p.audioOut[0]));
  return p;
}

}  // namespace

TEST(FloatAdder, TwoStaticSourcesGiveTheirSumAsOneStepThenSleep) {
  CUG* a = nullptr;
  CUG* b = nullptr;
  Patch p = TwoIntoOne(a, b, kLevel, kLevel, 0);
  PlugNamed(*a, "Level").SetValueText("1");
  PlugNamed(*b, "Level").SetValueText("2");
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  ug_adder* adder = FindAdder(*rig.engine.Root());
  ASSERT_NE(adder, nullptr);
  rig.Block(64);
  rig.Block(64);
  EXPECT_FLOAT_EQ(rig.outputs[0][0], 0.3f);
  EXPECT_FLOAT_EQ(rig.outputs[0][63], 0.3f);
  EXPECT_EQ(adder->StreamingCount(), 0);
  EXPECT_FLOAT_EQ(adder->Constant(), 0.3f);
  EXPECT_TRUE(adder->sleeping);
  rig.Block(64);
  EXPECT_FLOAT_EQ(rig.outputs[0][20], 0.3f);  // held while asleep
}

TEST(FloatAdder, StreamPlusZeroVoltsEqualsTheStreamExactly) {
  Patch p = MakePatch(1, 1);
  CUG& sum = p.Add(*p.top, kPass);
  CUG& zero = p.Add(*p.top, kLevel);
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), PlugNamed(sum, "In"));
  p.Wire(*p.top, PlugNamed(zero, "Out"), PlugNamed(sum, "In"));
  p.Wire(*p.top, PlugNamed(sum, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 1, 1));
  for (std::size_t i = 0; i < rig.inputs[0].size(); ++i) rig.inputs[0][i] = 1e-7f * static_cast<float>(i % 101) + 0.123f;
  for (int at = 0; at < 256; at += 64) {
    rig.Block(64, at);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(rig.outputs[0][i], rig.inputs[0][at + i]) << at + i;
  }
  EXPECT_EQ(FindAdder(*rig.engine.Root())->StreamingCount(), 1);
}

TEST(MidiAdder, MessagesOfOneInstantFromTwoWiresAllLeaveAtThatTime) {
  Patch p = MakePatch(0, 1, true);
  CUG& one = p.Add(*p.top, kMidiThrough);
  CUG& two = p.Add(*p.top, kMidiPlusOne);
  p.Wire(*p.top, Patch::Inside(p.midiIn), PlugNamed(one, "MIDI In"));
  p.Wire(*p.top, Patch::Inside(p.midiIn), PlugNamed(two, "MIDI In"));
  p.Wire(*p.top, PlugNamed(one, "MIDI Out"), Patch::Inside(p.midiOut));
  p.Wire(*p.top, PlugNamed(two, "MIDI Out"), Patch::Inside(p.midiOut));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  rig.Midi(5, 0x403C90);
  rig.Midi(5, 0x403D90);
  rig.Block(64);
  const OutgoingMidiRing& ring = rig.midiOut;
  ASSERT_EQ(ring.WritePosition(), 4);
  std::vector<std::uint32_t> words;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(ring.At(i).time, 5u);
    words.push_back(ring.At(i).message);
  }
  std::sort(words.begin(), words.end());
  EXPECT_EQ(words, (std::vector<std::uint32_t>{0x403C90, 0x403D90, 0x403D90, 0x403E90}));
}

TEST(ModuleRefresh, OneRefreshAtATimeReachesTheDocumentModule) {
  Patch p = MakePatch(0, 1);
  CUG& level = p.Add(*p.top, kLevel);
  WireHost(p);
  Rig rig;
  std::vector<CUG*> refreshed;
  rig.engine.SetRefreshHandler([&](CUG& m) { refreshed.push_back(&m); });
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  ug_base& audio = *level.AudioObject();
  rig.engine.PostRefresh(audio);
  rig.engine.PostRefresh(audio);  // still pending: not sent again
  rig.gui.Pump();
  EXPECT_EQ(refreshed, std::vector<CUG*>{&level});
  rig.engine.PostRefresh(audio);
  rig.gui.Pump();
  EXPECT_EQ(refreshed.size(), 2u);
}
