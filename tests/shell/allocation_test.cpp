// Steady-state host blocks must not touch the heap on the audio thread.
#include <gtest/gtest.h>

#include "shell/plugin_entry.h"
#include "shell_fakes.h"
#include "support/allocation_count.h"

using namespace kr;

namespace {

using namespace vst;

VstIntPtr VSTCALLBACK QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(ShellAllocation, SteadyStateBlocksDoNotAllocate) {
  krtest::FakeWorld world;
  world.logBlocks = false;
  world.duringBlock = [](krtest::FakeWorld&, kr::HostBlock& block) {
    for (int i = 0; i < 12; ++i) block.midiOut->Write(block.startTime + static_cast<std::uint32_t>(i), 0x0005C0);
  };
  krtest::SetCurrentWorld(&world);
  std::atomic<bool> failed{false};
  AEffect* effect = CreateEffect(&QuietHost, failed, &krtest::MakeFakeApplication);
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
  krtest::StartCountingAllocations();
  for (int i = 0; i < 200; ++i) block();
  EXPECT_EQ(krtest::StopCountingAllocations(), 0);
  EXPECT_EQ(world.hostEventsSeen, 4u * 202u);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
