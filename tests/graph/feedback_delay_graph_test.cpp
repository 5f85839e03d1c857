// "Feedback Delay" in a document: one module becomes two audio objects, so
// a loop closed through it builds (and echoes every sub-block period), and
// in a polyphonic container each voice's two halves are joined.
#include <gtest/gtest.h>

#include "document/cug.h"
#include "engine/audio_pair.h"
#include "engine/ug_container.h"
#include "graph_support.h"

using namespace kr;

using namespace krtest;

TEST(FeedbackDelayGraph, ALoopThroughItBuildsAndEchoesEveryPeriod) {
  Patch p = MakePatch(1, 1);
  CUG& pass = p.Add(*p.top, kPass);
  CUG& delay = p.Add(*p.top, "Feedback Delay");
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), PlugNamed(pass, "In"));
  p.Wire(*p.top, PlugNamed(delay, "Audio Out"), PlugNamed(pass, "In"));
  p.Wire(*p.top, PlugNamed(pass, "Out"), PlugNamed(delay, "Audio In"));
  p.Wire(*p.top, PlugNamed(pass, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 1, 1)) << "a loop through a feedback delay is no feedback";

  auto* writer = delay.AudioObject();
  auto* pair = dynamic_cast<AudioPair*>(writer);
  ASSERT_NE(pair, nullptr);
  ug_base* reader = pair->PairPartner();
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->docModule, &delay) << "both halves answer for the document module";
  EXPECT_GT(reader->sortOrder, pass.AudioObject()->sortOrder) << "the reader feeds the loop";
  EXPECT_GT(pass.AudioObject()->sortOrder, writer->sortOrder);
  std::vector<ug_base*> all;
  rig.engine.Root()->CollectModules(all);
  EXPECT_NE(std::find(all.begin(), all.end(), reader), all.end()) << "placed in the writer's voice list";

  rig.inputs[0].assign(rig.inputs[0].size(), 0.0f);
  rig.inputs[0][5] = 0.5f;
  std::vector<float> heard;
  for (int block = 0; block < 4; ++block) {
    rig.Block(64, block * 64);
    heard.insert(heard.end(), rig.outputs[0].begin(), rig.outputs[0].begin() + 64);
  }
  for (int t = 0; t < 256; ++t) {
    const float expected = t >= 5 && (t - 5) % 64 == 0 ? 0.5f : 0.0f;
    ASSERT_EQ(heard[static_cast<std::size_t>(t)], expected) << "sample " << t;
  }
}

TEST(FeedbackDelayGraph, EachVoiceJoinsItsOwnTwoHalves) {
  Patch p = MakePatch(0, 1, true);
  PlugNamed(*p.top, "Polyphony").SetValueText("4");
  CUG& cv = p.Add(*p.top, "Midi to CV");
  CUG& delay = p.Add(*p.top, "Feedback Delay");
  CUG& vca = p.Add(*p.top, "VCA");
  PlugNamed(vca, "Signal").SetValueText("10");
  p.Wire(*p.top, Patch::Inside(p.midiIn), PlugNamed(cv, "MIDI In"));
  p.Wire(*p.top, PlugNamed(cv, "Gate"), PlugNamed(delay, "Audio In"));
  p.Wire(*p.top, PlugNamed(delay, "Audio Out"), PlugNamed(vca, "Volume"));
  p.Wire(*p.top, PlugNamed(vca, "Output"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  auto* writer = delay.AudioObject();
  ASSERT_NE(writer->flags & UGF_POLYPHONIC, 0u) << "a per-voice gate makes both halves per-voice";
  ASSERT_NE(dynamic_cast<AudioPair*>(writer)->PairPartner()->flags & UGF_POLYPHONIC, 0u);
  for (ug_base* copy = writer->nextClone; copy != nullptr; copy = copy->nextClone) {
    ug_base* reader = dynamic_cast<AudioPair*>(copy)->PairPartner();
    ASSERT_NE(reader, nullptr);
    EXPECT_NE(reader->flags & UGF_CLONE, 0u) << "a voice copy's reader is the copy of that voice";
    EXPECT_EQ(dynamic_cast<AudioPair*>(reader)->PairPartner(), copy);
  }

  rig.Block(64);
  rig.Midi(10, 0x7F4590);
  rig.Midi(20, 0x7F4890);
  rig.Block(64);
  rig.Block(64);
  EXPECT_EQ(rig.outputs[0][12], 0.0f);
  EXPECT_NEAR(rig.outputs[0][13], 1.0f, 1e-5f) << "the first voice's gate, one period (64 samples) later";
  EXPECT_NEAR(rig.outputs[0][23], 2.0f, 1e-5f) << "and the second voice's, through its own halves";
}
