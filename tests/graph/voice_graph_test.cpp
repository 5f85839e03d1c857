// A patch document with a polyphonic "Midi to CV", built by the graph
// builder and played with host MIDI: voices are copied at start, and the
// summed gate reaches the host output three samples after the note.
#include <gtest/gtest.h>

#include "document/cug.h"
#include "engine/ug_container.h"
#include "graph_support.h"

using namespace kr;

using namespace krtest;

TEST(GraphVoices, MidiToCvVoicesAreBuiltAndTheGateReachesTheHost) {
  Patch p = MakePatch(0, 1, true);
  PlugNamed(*p.top, "Polyphony").SetValueText("4");
  CUG& cv = p.Add(*p.top, "Midi to CV");
  CUG& pass = p.Add(*p.top, kPass);
  p.Wire(*p.top, Patch::Inside(p.midiIn), PlugNamed(cv, "MIDI In"));
  p.Wire(*p.top, PlugNamed(cv, "Gate"), PlugNamed(pass, "In"));
  p.Wire(*p.top, PlugNamed(pass, "Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  auto* voices = dynamic_cast<ug_container*>(p.top->AudioObject());
  ASSERT_NE(voices, nullptr);
  EXPECT_EQ(voices->polyphony, 4);
  EXPECT_EQ(voices->VoiceCount(), voices->polyphony) << "every voice is made at start";
  EXPECT_EQ(voices->FirstVoice().noteReceiver, cv.AudioObject());
  EXPECT_EQ(pass.AudioObject()->flags & UGF_POLYPHONIC, 0u) << "a signal input hears the voices' sum";

  rig.Block(64);
  rig.Midi(10, 0x7F4590);  // note 69, velocity 127
  rig.Midi(20, 0x7F4890);
  rig.Block(64);
  EXPECT_EQ(rig.outputs[0][12], 0.0f);
  EXPECT_EQ(rig.outputs[0][13], 1.0f) << "10 V from the first voice";
  EXPECT_EQ(rig.outputs[0][23], 2.0f) << "two voices summed";
}
