// An oscillator taken out of the active list and put back (its voice
// suspended and resumed) plays on exactly as one that never stopped, so when
// a voice was suspended, a sub-block length matter, cannot be heard.
#include <gtest/gtest.h>

#include <bit>

#include "modules/osc/oscillator.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;
using Osc = ug_oscillator2;

TEST(OscillatorSuspend, ResumesInPhaseWithAnOscillatorThatKeptRunning) {
  for (int hostBlock : {1, 64, 441, 4096}) {
    TestEngine engine(hostBlock);
    auto* steady = engine.root.Add<Osc>(90);
    auto* paused = engine.root.Add<Osc>(90);
    auto* steadyTap = engine.root.Add<Tap>(1);
    auto* pausedTap = engine.root.Add<Tap>(1);
    Connect(steady->GetPlug(Osc::PN_OUT), steadyTap->GetPlug(0));
    Connect(paused->GetPlug(Osc::PN_OUT), pausedTap->GetPlug(0));
    for (Osc* osc : {steady, paused}) ApplyInputs(*osc, {{Osc::PN_PITCH, "5.37"}, {Osc::PN_WAVEFORM, "1"}});
    engine.Start();

    engine.Render(1000, hostBlock);
    paused->Suspend();
    engine.Render(7777, hostBlock);
    EXPECT_FALSE(engine.IsActive(paused));
    EXPECT_NE(paused->Phase(), steady->Phase()) << "the suspended oscillator stood still";
    paused->Resume();
    engine.Render(1500, hostBlock);

    ASSERT_TRUE(engine.IsActive(paused));
    EXPECT_EQ(paused->Phase(), steady->Phase()) << "host block " << hostBlock;
    const std::size_t n = steadyTap->samples.size();
    ASSERT_EQ(pausedTap->samples.size(), n);
    for (std::size_t i = n - 1000; i < n; ++i)
      ASSERT_EQ(std::bit_cast<std::uint32_t>(pausedTap->samples[i]), std::bit_cast<std::uint32_t>(steadyTap->samples[i]))
          << "sample " << i << " with host block " << hostBlock;
  }
}
