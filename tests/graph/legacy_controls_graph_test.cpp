// The legacy panel controls in a built graph: a "Text Entry" hands its text
// to the input it feeds (without the audio thread allocating) and keeps it
// through program changes, and a control stored with other plugs than its
// class lists plays with those that match, is named once, and keeps the rest.
#include <gtest/gtest.h>

#include <algorithm>

#include "document/controls.h"
#include "document/iterators.h"
#include "engine/ug_control.h"
#include "graph_support.h"
#include "support/allocation_count.h"
#include "support/message_capture.h"

using namespace kr;

namespace krtest {
namespace {

TEST(LegacyControls, ATextEntrysTextReachesTheInputItFeeds) {
  Patch patch = MakePatch(0, 1);
  auto& entry = static_cast<CControl&>(patch.Add(*patch.top, "Text Entry", "Command Text"));
  entry.texts = {"first words"};
  CUG& command = patch.Add(*patch.top, "OS Command", "Cmd");
  patch.Wire(*patch.top, PlugNamed(entry, "Text Out"), PlugNamed(command, "Command"));
  Rig rig;
  ASSERT_TRUE(rig.Start(patch, 64, 0, 1));
  rig.Block(64);
  ug_base* audio = command.AudioObject();
  ASSERT_NE(audio, nullptr);
  UPlug* input = nullptr;
  for (auto& p : audio->plugs)
    if (p->type == DT_TEXT && p->IsInput()) input = p.get();
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(input->TextValue(), "first words");
  // An edit on the panel reaches it at the next block, long or short, and
  // the audio thread takes it into buffers reserved beforehand.
  const std::string longer = "typed, " + std::string(300, 'x');
  float* output = rig.outputs[0].data();
  for (const std::string& typed : {longer, std::string("typed")}) {
    entry.SetValueText(typed);
    krtest::StartCountingAllocations();
    rig.blocks.Run(rig.engine, {}, {&output, 1}, 64);
    EXPECT_EQ(krtest::StopCountingAllocations(), 0);
    EXPECT_EQ(input->TextValue(), typed);
  }
  // Without an "Ignore Program Change" setting it keeps one text for every
  // program: a program change leaves it, and an edit made then plays.
  patch.top->SetProgram(3);
  rig.Block(64);
  EXPECT_EQ(input->TextValue(), "typed");
  entry.SetValueText("in program 3");
  rig.Block(64);
  EXPECT_EQ(input->TextValue(), "in program 3");
  patch.top->SetProgram(0);
  rig.Block(64);
  EXPECT_EQ(entry.ValueText(), "in program 3");
  EXPECT_EQ(input->TextValue(), "in program 3");
  rig.engine.StopSound();
}

TEST(LegacyControls, AControlStoredWithOtherPlugsPlaysWithThoseThatMatch) {
  krtest::MessageCapture messages;
  Patch patch = MakePatch(0, 1);
  auto slider = std::make_unique<CControl>(control_classes::kSlider);  // as loading makes it
  slider->SetEntry(ModuleRegistry::Get().FindByName("Slider"));
  slider->SetTitle("Short");
  // The six control plugs and "Signal Out", nothing after; then one plug
  // the class does not list.
  for (int i = 0; i < 7; ++i) slider->AddPlug(std::make_unique<CPlug2>(i));
  slider->AddPlug(std::make_unique<CPlug2>(40));
  slider->numbers = {7.5};
  CUG& stored = *slider;
  patch.top->AddChild(std::move(slider));
  patch.Wire(*patch.top, PlugNamed(stored, "Signal Out"), Patch::Inside(patch.audioOut[0]));
  WireHost(patch);
  Rig rig;
  ASSERT_TRUE(rig.Start(patch, 64, 0, 1));
  rig.Block(64);
  auto* audio = dynamic_cast<ug_control*>(stored.AudioObject());
  ASSERT_NE(audio, nullptr) << "it plays";
  EXPECT_EQ(audio->PlugCount(), 12) << "every plug of the class";
  EXPECT_EQ(audio->ValueText(), "7.500") << "its stored value";
  EXPECT_FLOAT_EQ(rig.outputs[0][10], 0.75f) << "its output";
  EXPECT_EQ(stored.Plugs().size(), 8u) << "the document keeps its plugs as stored";
  rig.engine.StopSound();
  ASSERT_TRUE(rig.Start(patch, 64, 0, 1));
  rig.engine.StopSound();
  const std::string text = "Synth.Short: its stored plugs differ from the module's; the plugs that match by position are used";
  EXPECT_EQ(std::count(messages.texts.begin(), messages.texts.end(), text), 1);
}

}  // namespace
}  // namespace krtest
