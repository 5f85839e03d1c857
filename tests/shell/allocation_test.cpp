// Steady-state host blocks must not touch the heap on the audio thread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "shell/plugin_entry.h"
#include "shell_fakes.h"

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

namespace {

using namespace vst;

VstIntPtr VSTCALLBACK QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(ShellAllocation, SteadyStateBlocksDoNotAllocate) {
  shelltest::FakeWorld world;
  world.logBlocks = false;
  world.input.sent.reserve(1 << 16);
  world.duringBlock = [](shelltest::FakeWorld& w, int frames) {
    for (int i = 0; i < 12; ++i)
      w.output->ring.Write(w.output->now - static_cast<std::uint32_t>(frames) + static_cast<std::uint32_t>(i),
                           0x0005C0);
  };
  shelltest::SetCurrentWorld(&world);
  std::atomic<bool> failed{false};
  AEffect* effect = CreateEffect(&QuietHost, failed, &shelltest::MakeFakeApplication);
  ASSERT_NE(effect, nullptr);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

  VstMidiEvent notes[4] = {};
  std::uintptr_t header[2 + 4] = {4, 0};
  for (int i = 0; i < 4; ++i) {
    notes[i].type = kVstMidiType;
    notes[i].deltaFrames = i * 3;
    notes[i].midiData[0] = static_cast<char>(0x90);
    header[2 + i] = reinterpret_cast<std::uintptr_t>(&notes[i]);
  }
  float left[64] = {}, right[64] = {};
  float* outputs[2] = {left, right};
  const auto block = [&] {
    effect->dispatcher(effect, effProcessEvents, 0, 0, header, 0.0f);
    effect->processReplacing(effect, nullptr, outputs, 64);
  };
  block();  // the first blocks size the outgoing list
  block();
  countAllocations = true;
  for (int i = 0; i < 200; ++i) block();
  countAllocations = false;
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(world.input.sent.size(), 4u * 202u);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
