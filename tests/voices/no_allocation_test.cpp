// Taking, stealing, releasing, suspending and resuming voices touches no heap
// on the audio thread: voices and their copies exist from the build on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "modules/midi_to_cv.h"
#include "support/voice_rig.h"

namespace {
thread_local bool countAllocations = false;
thread_local int allocations = 0;
}  // namespace

// Optimising builds (the Windows ones) see through these replacements and
// take malloc/free for a mismatched pair; they are the replacements.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (countAllocations) ++allocations;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (countAllocations) ++allocations;
  return std::malloc(size != 0 ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

using namespace voice_test;

TEST(VoiceAllocationFree, NotesStealsAndSuspensionsDoNotAllocate) {
  Rig rig(64, 4);
  auto* cv = rig.AddNamed("Midi to CV");
  auto* vca = rig.Add<GateVca>();
  auto* tap = rig.Add<Tap>();
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
  countAllocations = true;
  rig.Render(kLength);
  countAllocations = false;
  EXPECT_EQ(allocations, 0);
  bool anySuspended = false;
  for (auto& v : rig.root.voices) anySuspended |= v->suspended;
  EXPECT_TRUE(anySuspended);
}
