// The graph builder hands "Voltage To List" the item list of the plug its
// "List Out" is wired to; the audio object never reads the document.
#include <gtest/gtest.h>

#include "graph_support.h"
#include "modules/logic/voltage_to_enum.h"

using namespace kr;

using namespace krtest;

TEST(GraphItemLists, VoltageToListPicksFromTheListItsOutputIsWiredTo) {
  Patch p = MakePatch(0, 1);
  CUG& osc = p.Add(*p.top, "Oscillator");
  CUG& wired = p.Add(*p.top, "Voltage To List", "wired");
  CUG& loose = p.Add(*p.top, "Voltage To List", "loose");
  p.Wire(*p.top, PlugNamed(wired, "List Out"), PlugNamed(osc, "Waveform"));
  p.Wire(*p.top, PlugNamed(osc, "Audio Out"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));

  auto* toWave = dynamic_cast<ug_voltage_to_enum*>(wired.AudioObject());
  auto* toNothing = dynamic_cast<ug_voltage_to_enum*>(loose.AudioObject());
  ASSERT_NE(toWave, nullptr);
  ASSERT_NE(toNothing, nullptr);
  EXPECT_EQ(toWave->ItemCount(), 7) << "the oscillator's seven waves";
  EXPECT_EQ(toNothing->ItemCount(), 0) << "an unwired output has no list";
}
