// Taking, stealing, releasing, suspending and resuming voices touches no heap
// on the audio thread: voices and their copies exist from the build on.
#include <gtest/gtest.h>

#include "modules/midi/midi_to_cv.h"
#include "support/allocation_count.h"
#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;

TEST(VoiceAllocationFree, NotesStealsAndSuspensionsDoNotAllocate) {
  VoiceRig rig(64, 4);
  auto* cv = rig.AddNamed("Midi to CV");
  auto* vca = rig.Add<GateVca>();
  auto* tap = rig.Add<VoiceTap>();
  Connect(rig.feeder->GetPlug(0), cv->GetPlug(0));
  Connect(cv->GetPlug(3), vca->GetPlug(0));
  Connect(cv->GetPlug(4), vca->GetPlug(1));
  Connect(vca->GetPlug(2), tap->GetPlug(0));
  rig.Build();
  constexpr int kLength = 60000;
  tap->samples.reserve(2 * kLength);
  // Warm up the event pool with the same traffic, then count.
  auto play = [&](int from) {
    for (int i = 0; i < 12; ++i) {
      rig.Note(from + 500 * i, 60 + i % 7);
      rig.Midi(from + 500 * i + 20, 0xE0u | static_cast<std::uint32_t>(i * 9) << 16);
      if (i % 2 == 0) rig.NoteOff(from + 500 * i + 1500, 60 + i % 7);
    }
    rig.Midi(from + 9000, 0xB0u | 123u << 8);
  };
  play(0);
  play(kLength);
  rig.pending.reserve(rig.pending.size());
  rig.Render(kLength);
  krtest::StartCountingAllocations();
  rig.Render(kLength);
  EXPECT_EQ(krtest::StopCountingAllocations(), 0);
  bool anySuspended = false;
  for (auto& v : rig.root.voices) anySuspended |= v->suspended;
  EXPECT_TRUE(anySuspended);
}
