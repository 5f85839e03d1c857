// Building the graph from documents made in code, driven like the effect
// object drives the engine.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "document/line2.h"
#include "engine/ug_container.h"
#include "graph/host_io_wiring.h"
#include "graph_support.h"
#include "modules/mix/ug_adder.h"
#include "platform/platform.h"
#include "registry/module_info.h"
#include "support/message_capture.h"

using namespace kr;

using namespace krtest;

namespace {

using krtest::MessageCapture;

void FillRamp(std::vector<float>& v, float scale) {
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = scale * static_cast<float>((i * 7919) % 1000) / 1000.0f;
}

int CountAdders(ug_container& root) {
  std::vector<ug_base*> all;
  root.CollectModules(all);
  return static_cast<int>(std::count_if(all.begin(), all.end(), [](ug_base* m) { return dynamic_cast<ug_adder*>(m) != nullptr; }));
}

// In 0 -> Pass -> Out 0, In 1 -> Pass -> Out 1.
Patch StereoPass() {
  Patch p = MakePatch(2, 2);
  for (int c = 0; c < 2; ++c) {
    CUG& pass = p.Add(*p.top, kPass);
    p.Wire(*p.top, Patch::Inside(p.audioIn[c]), PlugNamed(pass, "In"));
    p.Wire(*p.top, PlugNamed(pass, "Out"), Patch::Inside(p.audioOut[c]));
  }
  WireHost(p);
  return p;
}

}  // namespace

TEST(GraphHostIo, TopContainerCountsAndWiringSkipSpares) {
  Patch p = StereoPass();
  const HostChannelCounts counts = CountHostChannels(*p.top);
  EXPECT_EQ(counts.inputs, 2);
  EXPECT_EQ(counts.outputs, 2);
  // Each host module keeps one unwired spare after the wired audio plugs.
  CUG* out = nullptr;
  for (const auto& c : p.root->Children())
    if (c->Entry() != nullptr && c->Entry()->name == "VST Output") out = static_cast<CUG*>(c.get());
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Plugs().size(), 4u);  // MIDI In, two wired audio plugs, the spare
  EXPECT_TRUE(out->Plugs().back()->Wires().empty());
}

TEST(GraphHostIo, StereoPassThroughIsSampleExactForAnyBlockSize) {
  for (int blockSize : {1, 17, 64, 96, 128, 300, 512, 1000}) {
    Patch p = StereoPass();
    Rig rig;
    ASSERT_TRUE(rig.Start(p, blockSize, 2, 2)) << blockSize;
    FillRamp(rig.inputs[0], 1.0f);
    FillRamp(rig.inputs[1], -0.5f);
    for (int at = 0; at + blockSize <= 3000; at += blockSize) {
      rig.Block(blockSize, at);
      for (int c = 0; c < 2; ++c)
        for (int i = 0; i < blockSize; ++i)
          ASSERT_EQ(rig.outputs[c][i], rig.inputs[c][at + i]) << "block " << blockSize << " at " << at + i;
    }
  }
}

TEST(GraphHostIo, FiveTwelveSampleBlockFillsInFourPiecesOfL) {
  Patch p = StereoPass();
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 512, 2, 2));
  EXPECT_EQ(rig.engine.Master()->BlockLength(), 128);
  FillRamp(rig.inputs[0], 1.0f);
  FillRamp(rig.inputs[1], 1.0f);
  rig.Block(512);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(rig.outputs[0][i], rig.inputs[0][i]) << i;
}

TEST(GraphHostIo, AccumulatingHostGetsOutputAdded) {
  Patch p = StereoPass();
  Rig rig;
  rig.replacing = false;
  ASSERT_TRUE(rig.Start(p, 64, 2, 2));
  std::fill(rig.inputs[0].begin(), rig.inputs[0].end(), 0.25f);
  std::fill(rig.outputs[0].begin(), rig.outputs[0].end(), 1.0f);
  rig.Block(64);
  rig.replacing = true;  // fixed until the next start
  rig.Block(64);
  EXPECT_FLOAT_EQ(rig.outputs[0][10], 1.5f);
}

TEST(GraphAdders, TwoWiresIntoOneInputAreSummedAndAThirdJoinsTheSameAdder) {
  Patch p = MakePatch(2, 1);
  CUG& a = p.Add(*p.top, kPass);
  CUG& b = p.Add(*p.top, kPass);
  CUG& sum = p.Add(*p.top, kPass);
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), PlugNamed(a, "In"));
  p.Wire(*p.top, Patch::Inside(p.audioIn[1]), PlugNamed(b, "In"));
  p.Wire(*p.top, PlugNamed(a, "Out"), PlugNamed(sum, "In"));
  p.Wire(*p.top, PlugNamed(b, "Out"), PlugNamed(sum, "In"));
  p.Wire(*p.top, PlugNamed(sum, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  {
    Rig rig;
    ASSERT_TRUE(rig.Start(p, 64, 2, 1));
    EXPECT_EQ(CountAdders(*rig.engine.Root()), 1);
    FillRamp(rig.inputs[0], 1.0f);
    FillRamp(rig.inputs[1], 0.5f);
    rig.Block(64, 0);
    for (int i = 0; i < 64; ++i) ASSERT_FLOAT_EQ(rig.outputs[0][i], rig.inputs[0][i] + rig.inputs[1][i]) << i;
  }
  CUG& c = p.Add(*p.top, kPass);
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), PlugNamed(c, "In"));
  p.Wire(*p.top, PlugNamed(c, "Out"), PlugNamed(sum, "In"));
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 2, 1));
  EXPECT_EQ(CountAdders(*rig.engine.Root()), 1);
  FillRamp(rig.inputs[0], 1.0f);
  FillRamp(rig.inputs[1], 0.5f);
  rig.Block(64, 0);
  for (int i = 0; i < 64; ++i) ASSERT_FLOAT_EQ(rig.outputs[0][i], 2 * rig.inputs[0][i] + rig.inputs[1][i]) << i;
}

TEST(GraphAdders, WiredInputIsNotSummedWithItsOwnDefault) {
  Patch p = MakePatch(1, 1);
  CUG& pass = p.Add(*p.top, kPass);
  PlugNamed(pass, "In").SetValueText("5");  // 0.5 if it leaked in
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), PlugNamed(pass, "In"));
  p.Wire(*p.top, PlugNamed(pass, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 32, 1, 1));
  EXPECT_EQ(CountAdders(*rig.engine.Root()), 0);
  FillRamp(rig.inputs[0], 1.0f);
  rig.Block(32);
  for (int i = 0; i < 32; ++i) ASSERT_EQ(rig.outputs[0][i], rig.inputs[0][i]);
}

TEST(GraphAdders, UnwiredInputTakesItsDocumentValue) {
  Patch p = MakePatch(0, 1);
  CUG& pass = p.Add(*p.top, kPass);
  PlugNamed(pass, "In").SetValueText("5");
  p.Wire(*p.top, PlugNamed(pass, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 32, 0, 1));
  rig.Block(32);
  rig.Block(32);
  EXPECT_FLOAT_EQ(rig.outputs[0][5], 0.5f);
}

TEST(GraphErrors, WireFromOutputToOwnInputIsFeedbackNamingTheModuleTwice) {
  Patch p = MakePatch(1, 1);
  CUG& loop = p.Add(*p.top, kPass, "Loop");
  p.Wire(*p.top, PlugNamed(loop, "Out"), PlugNamed(loop, "In"));
  p.Wire(*p.top, PlugNamed(loop, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  MessageCapture boxes;
  Rig rig;
  EXPECT_FALSE(rig.Start(p, 64, 1, 1));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0],
            "This patch contains a FEEDBACK path (highlighed in red), Please remove.\n Synth.Loop -> Synth.Loop");
  EXPECT_FALSE(rig.engine.Running());
  EXPECT_EQ(loop.AudioObject(), nullptr);
  rig.Block(64);  // nothing to run, nothing touched
}

TEST(GraphErrors, LoopThroughTwoModulesNamesBoth) {
  Patch p = MakePatch(0, 1);
  CUG& a = p.Add(*p.top, kPass, "A");
  CUG& b = p.Add(*p.top, kPass, "B");
  p.Wire(*p.top, PlugNamed(a, "Out"), PlugNamed(b, "In"));
  p.Wire(*p.top, PlugNamed(b, "Out"), PlugNamed(a, "In"));
  WireHost(p);
  MessageCapture boxes;
  Rig rig;
  EXPECT_FALSE(rig.Start(p, 64, 0, 1));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_TRUE(boxes.texts[0].starts_with("This patch contains a FEEDBACK path (highlighed in red), Please remove.\n Synth."))
      << boxes.texts[0];
}

TEST(GraphErrors, NestedNoteSourcesAreRefusedAndSiblingsAccepted) {
  const std::string text =
      "ERROR: You have more than one 'MidiToCv', 'Soundfont Player', or 'Drum Trigger' in same container (or in a "
      "sub-container).";
  {
    Patch p = MakePatch(0, 1);
    p.Add(*p.top, kNoteSource);
    CContainer& inner = p.AddContainer(*p.top, "Inner");
    p.Add(inner, kNoteSource);
    WireHost(p);
    MessageCapture boxes;
    Rig rig;
    EXPECT_FALSE(rig.Start(p, 64, 0, 1));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], text);
    EXPECT_FALSE(rig.engine.Running());
  }
  Patch p = MakePatch(0, 1);
  p.Add(p.AddContainer(*p.top, "One"), kNoteSource);
  p.Add(p.AddContainer(*p.top, "Two"), kNoteSource);
  WireHost(p);
  MessageCapture boxes;
  Rig rig;
  EXPECT_TRUE(rig.Start(p, 64, 0, 1));
  EXPECT_TRUE(boxes.texts.empty());
}

TEST(GraphErrors, RestartAfterARefusedGraphWorks) {
  Patch p = MakePatch(1, 1);
  CUG& loop = p.Add(*p.top, kPass, "Loop");
  CLine2& bad = p.top->MakeWire(PlugNamed(loop, "Out"), PlugNamed(loop, "In"));
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), PlugNamed(loop, "In"));
  p.Wire(*p.top, PlugNamed(loop, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  MessageCapture boxes;
  Rig rig;
  EXPECT_FALSE(rig.Start(p, 64, 1, 1));
  p.top->RemoveChild(&bad);
  ASSERT_TRUE(rig.Start(p, 64, 1, 1));
  FillRamp(rig.inputs[0], 1.0f);
  rig.Block(64);
  EXPECT_EQ(rig.outputs[0][3], rig.inputs[0][3]);
}

TEST(GraphBuild, DisabledModuleAndItsWiresVanish) {
  Patch p = MakePatch(1, 1);
  CUG& pass = p.Add(*p.top, kPass);
  CUG& off = p.Add(*p.top, kPass);
  off.SetDisabled(true);
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), PlugNamed(pass, "In"));
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), PlugNamed(off, "In"));
  p.Wire(*p.top, PlugNamed(off, "Out"), PlugNamed(pass, "In"));
  p.Wire(*p.top, PlugNamed(pass, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  MessageCapture boxes;
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 1, 1));
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(off.AudioObject(), nullptr);
  EXPECT_EQ(CountAdders(*rig.engine.Root()), 0);
  FillRamp(rig.inputs[0], 1.0f);
  rig.Block(64);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(rig.outputs[0][i], rig.inputs[0][i]);
  rig.engine.StopSound();
  EXPECT_EQ(pass.AudioObject(), nullptr);
}

TEST(GraphBuild, FlattenedContainerRelaysCostNothing) {
  Patch p = MakePatch(1, 1);
  CContainer& inner = p.AddContainer(*p.top, "Inner");
  CPlugIO2* innerIn = AddBoundaryPlug(inner, DR_IN, DT_AUDIO);
  CPlugIO2* innerOut = AddBoundaryPlug(inner, DR_OUT, DT_AUDIO);
  CUG& pass = p.Add(inner, kPass);
  p.Wire(inner, Patch::Inside(innerIn), PlugNamed(pass, "In"));
  p.Wire(inner, PlugNamed(pass, "Out"), Patch::Inside(innerOut));
  p.Wire(*p.top, Patch::Inside(p.audioIn[0]), *innerIn);
  p.Wire(*p.top, *innerOut, Patch::Inside(p.audioOut[0]));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 1, 1));
  // The pass module is fed by the host input module directly.
  UPlug* in = pass.AudioObject()->GetPlug(0);
  ASSERT_EQ(in->connections.size(), 1u);
  EXPECT_EQ(in->connections[0]->from->owner->docModule->Entry()->name, "VST Input");
  FillRamp(rig.inputs[0], 1.0f);
  rig.Block(64);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(rig.outputs[0][i], rig.inputs[0][i]);
}

TEST(GraphMidi, HostMidiReachesTheOutputRingWithItsTimes) {
  Patch p = MakePatch(0, 1, true);
  CUG& through = p.Add(*p.top, kMidiThrough);
  p.Wire(*p.top, Patch::Inside(p.midiIn), PlugNamed(through, "MIDI In"));
  p.Wire(*p.top, PlugNamed(through, "MIDI Out"), Patch::Inside(p.midiOut));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  rig.Block(64);
  const std::uint32_t start = rig.NextBlockStart();
  EXPECT_EQ(start, 64u);
  rig.Midi(10, 0x403C90);
  rig.Midi(20, 0x05C0);
  rig.Block(64);
  const OutgoingMidiRing& ring = rig.midiOut;
  ASSERT_EQ(ring.WritePosition(), 2);
  EXPECT_EQ(ring.At(0).time, start + 10);
  EXPECT_EQ(ring.At(0).message, 0x403C90u);
  EXPECT_EQ(ring.At(1).time, start + 20);
  EXPECT_EQ(ring.At(1).message, 0x05C0u);
}

TEST(GraphMidi, NegativeOffsetsPlayAtTheBlockStartAndOtherEventsAreSkipped) {
  Patch p = MakePatch(0, 1, true);
  CUG& through = p.Add(*p.top, kMidiThrough);
  p.Wire(*p.top, Patch::Inside(p.midiIn), PlugNamed(through, "MIDI In"));
  p.Wire(*p.top, PlugNamed(through, "MIDI Out"), Patch::Inside(p.midiOut));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 128, 0, 1));
  rig.Block(128);
  vst::VstMidiEvent early{};
  early.type = vst::kVstMidiType;
  early.deltaFrames = -5;
  early.midiData[0] = static_cast<char>(0x80);
  early.midiData[1] = 61;
  vst::VstEvent sysex{};
  sysex.type = vst::kVstSysExType;
  rig.Midi(10, 0x643C90);
  rig.blocks.Raw(reinterpret_cast<vst::VstEvent*>(&early));
  rig.blocks.Raw(&sysex);
  rig.blocks.Raw(nullptr);
  rig.Midi(127, 0x6307B0);
  rig.Block(128);
  ASSERT_EQ(rig.midiOut.WritePosition(), 3);
  EXPECT_EQ(rig.midiOut.At(0).time, 128u) << "the early note plays first, at the block's start";
  EXPECT_EQ(rig.midiOut.At(0).message, 0x003D80u);
  EXPECT_EQ(rig.midiOut.At(1).time, 138u);
  EXPECT_EQ(rig.midiOut.At(2).time, 255u);
  EXPECT_EQ(early.deltaFrames, 0) << "the host's event says where it was played";
}

TEST(GraphThreads, AudioRunsWhileTheGuiPostsAndPumps) {
  Patch p = StereoPass();
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 2, 2));
  ug_base* module = nullptr;
  for (const auto& c : p.top->Children())
    if (auto* m = DynamicKind<CUG>(c.get()); m != nullptr && m->AudioObject() != nullptr && m->Entry()->name == kPass)
      module = m->AudioObject();
  ASSERT_NE(module, nullptr);
  rig.engine.Master()->deferToAudio.store(true);
  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int block = 0; block < 400; ++block) {
      rig.Block(64);
      if (block % 50 == 0) rig.engine.PostMessageBox("tick", 0);
    }
    done = true;
  });
  MessageCapture boxes;
  while (!done) {
    module->PostNotify(7, 1);  // GUI thread: goes through the GUI-to-DSP ring
    rig.gui.Pump();
    platform::SleepMs(0);
  }
  audio.join();
  rig.gui.Pump();
  EXPECT_FALSE(boxes.texts.empty());
}
