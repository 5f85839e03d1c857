// Host blocks: the engine hand-over, the block record the application gets
// (buffers, host MIDI, the replacing mode) and sample-rate changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <chrono>
#include <thread>

#include "base/denormals.h"
#include "shell_fakes.h"
#include "support/message_capture.h"

using namespace kr;

using namespace vst;
using krtest::FakeWorld;
using krtest::ShellFixtureState;

namespace {

class Audio : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.Create()); }
  void Resume() { s.host.Dispatch(effMainsChanged, 0, 1); }
  ShellFixtureState s;
};

// Nothing plays before resume or after suspend: an accumulating host keeps
// its buffers, a replacing host hears silence (not whatever its buffers held).
TEST_F(Audio, BlocksWhileSuspendedAreSilentForAReplacingHost) {
  s.host.PrepareBlock(64);
  for (int round = 0; round < 2; ++round) {
    for (float& x : s.host.Output(0)) x = 0.5f;
    s.host.RunBlock({}, ProcessMode::Accumulating);
    for (float x : s.host.Output(0)) ASSERT_EQ(x, 0.5f);
    s.host.RunBlock();
    for (int c = 0; c < 2; ++c)
      for (float x : s.host.Output(c)) ASSERT_EQ(x, 0.0f);
    Resume();
    s.host.Dispatch(effMainsChanged, 0, 0);  // then suspended again
  }
  EXPECT_EQ(s.world.blockCount, 0);
}

// Channels the engine did not write are silence in a replacing call; an
// accumulating call leaves them as they were.
TEST_F(Audio, OutputsTheEngineDidNotWriteAreSilentWhenReplacing) {
  s.world.duringBlock = [](FakeWorld&, kr::HostBlock& block) {
    std::fill_n(block.outputs[0], block.frames, 0.25f);
    block.outputsWritten = 1;
  };
  Resume();
  s.host.PrepareBlock(32);
  for (int c = 0; c < 2; ++c) std::fill(s.host.Output(c).begin(), s.host.Output(c).end(), 0.5f);
  s.host.RunBlock();
  for (float x : s.host.Output(0)) ASSERT_EQ(x, 0.25f);
  for (float x : s.host.Output(1)) ASSERT_EQ(x, 0.0f);
  std::fill(s.host.Output(1).begin(), s.host.Output(1).end(), 0.5f);
  s.host.RunBlock({}, ProcessMode::Accumulating);
  for (float x : s.host.Output(1)) ASSERT_EQ(x, 0.5f);
}

// An engine that throws during a block: the host never sees the exception,
// hears silence until the next resume, and the GUI thread reports it once.
TEST_F(Audio, AnEngineFailureIsSilenceAndOneMessage) {
  s.world.duringBlock = [](FakeWorld&, kr::HostBlock&) { throw std::runtime_error("plug index 9 out of range"); };
  Resume();
  s.host.PrepareBlock(16);
  for (float& x : s.host.Output(0)) x = 0.5f;
  krtest::MessageCapture messages;
  s.host.RunBlock();
  for (float x : s.host.Output(0)) ASSERT_EQ(x, 0.0f);
  s.world.duringBlock = nullptr;
  const int blocks = s.world.blockCount;
  s.host.RunBlock();
  EXPECT_EQ(s.world.blockCount, blocks) << "no more blocks reach the engine";
  s.host.Dispatch(effIdle);
  s.host.Dispatch(effIdle);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "The patch stopped playing after an error: plug index 9 out of range");
  Resume();
  s.host.RunBlock();
  EXPECT_EQ(s.world.blockCount, blocks + 1) << "a resume plays again";
}

TEST_F(Audio, ResumeStartsTheEngineAndAsksForMidiAndIdle) {
  s.host.Dispatch(effSetBlockSize, 0, 333);
  s.world.log.clear();
  s.host.ClearCalls();
  Resume();
  EXPECT_EQ(s.world.log, (std::vector<std::string>{"SetSampleRate 44100", "StartSound 333"}));
  ASSERT_EQ(s.host.Calls().size(), 2u);
  EXPECT_EQ(s.host.Calls()[0].opcode, audioMasterWantMidi);
  EXPECT_EQ(s.host.Calls()[0].value, 1);
  EXPECT_EQ(s.host.Calls()[1].opcode, audioMasterNeedIdle);
  EXPECT_TRUE(s.vst->Running());

  s.host.Dispatch(effMainsChanged, 0, 0);
  EXPECT_EQ(s.world.log.back(), "StopSound");
  EXPECT_FALSE(s.vst->Running());
}

TEST(AudioNoMidi, ResumeWithoutMidiInputDoesNotAskForMidi) {
  ShellFixtureState s;
  s.world.midiIn = false;
  ASSERT_TRUE(s.Create());
  s.host.ClearCalls();
  s.host.Dispatch(effMainsChanged, 0, 1);
  ASSERT_EQ(s.host.Calls().size(), 1u);
  EXPECT_EQ(s.host.Calls()[0].opcode, audioMasterNeedIdle);
}

TEST_F(Audio, EachBlockCarriesTheHostBuffersAndTheOutgoingRing) {
  s.world.audioIns = {"In"};
  Resume();
  s.host.PrepareBlock(32);
  s.host.RunBlock();
  const kr::HostBlock& block = s.world.lastBlock;
  EXPECT_EQ(block.frames, 32);
  ASSERT_EQ(block.outputCount, 2);
  EXPECT_EQ(block.outputs[0], s.host.Output(0).data());
  EXPECT_EQ(block.outputs[1], s.host.Output(1).data());
  EXPECT_EQ(block.inputCount, 0) << "the count the host was told at construction";
  EXPECT_TRUE(block.replacing);
  EXPECT_NE(block.midiOut, nullptr);
  EXPECT_EQ(block.startTime, 0u);
  EXPECT_EQ(s.world.log.back(), "ProcessBlock 32");
  s.host.RunBlock();
  EXPECT_EQ(s.world.lastBlock.startTime, 32u);
}

TEST_F(Audio, HostEventsGoWithTheNextBlockOnly) {
  Resume();
  s.host.PrepareBlock(128);
  s.host.RunBlock();
  EXPECT_EQ(s.world.lastBlock.midiIn, nullptr);
  const MidiAt midi[] = {{10, 0x90, 60, 100}, {-5, 0x80, 61, 0}, {127, 0xB0, 7, 99}};
  s.host.RunBlock(midi);
  ASSERT_NE(s.world.lastBlock.midiIn, nullptr);
  EXPECT_EQ(s.world.hostEventsSeen, 3u);
  s.host.RunBlock();
  EXPECT_EQ(s.world.lastBlock.midiIn, nullptr) << "the list was for that block only";
  EXPECT_EQ(s.world.hostEventsSeen, 3u);
}

TEST_F(Audio, ReplacingModeIsChosenAgainAtEveryResume) {
  Resume();
  s.host.PrepareBlock(8);
  s.host.RunBlock({}, ProcessMode::Accumulating);
  EXPECT_FALSE(s.world.lastBlock.replacing);
  s.host.RunBlock();  // the output module keeps what it read first; the flag stays clear
  EXPECT_FALSE(s.world.lastBlock.replacing);
  Resume();
  s.host.RunBlock();
  EXPECT_TRUE(s.world.lastBlock.replacing);
}

TEST_F(Audio, SampleRateChangeRebuildsOnlyWhenItDiffers) {
  s.host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);  // not running: stored only
  EXPECT_EQ(s.vst->getSampleRate(), 48000.0f);
  EXPECT_EQ(s.world.log.back(), "CollectHostParameters");
  Resume();
  s.world.log.clear();
  s.host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_TRUE(s.world.log.empty());
  s.host.Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  EXPECT_EQ(s.world.log,
            (std::vector<std::string>{"StopSound", "SetSampleRate 96000", "StartSound 1024"}));
  EXPECT_TRUE(s.vst->Running());
}

TEST_F(Audio, SuspendWaitsForTheAudioThread) {
  Resume();
  std::atomic<bool> inside{false};
  std::atomic<bool> release{false};
  std::atomic<bool> suspended{false};
  s.world.duringBlock = [&](krtest::FakeWorld&, kr::HostBlock&) {
    inside = true;
    while (!release) std::this_thread::yield();
  };
  s.host.PrepareBlock(16);
  std::thread audio([&] { s.host.RunBlock(); });
  while (!inside) std::this_thread::yield();
  std::thread gui([&] {
    s.vst->suspend();
    suspended = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(suspended.load());  // still inside processReplacing
  release = true;
  audio.join();
  gui.join();
  EXPECT_TRUE(suspended.load());
  EXPECT_EQ(s.world.log.back(), "StopSound");
  // A block after suspend does nothing.
  s.world.duringBlock = nullptr;
  s.host.RunBlock();
  EXPECT_EQ(s.world.log.back(), "StopSound");
}

TEST_F(Audio, EngineIsNeverRebuiltUnderARunningBlock) {
  s.world.logBlocks = false;
  s.world.duringBlock = [](FakeWorld&, kr::HostBlock& block) {
    block.midiOut->Write(block.startTime + static_cast<std::uint32_t>(block.frames) - 1, 0x004090);
    // Stay inside long enough for the other thread to try to cut in.
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(50);
    while (std::chrono::steady_clock::now() < until) {
    }
  };
  std::atomic<bool> stop{false};
  Resume();
  s.host.PrepareBlock(32);
  std::thread audio([&] {
    while (!stop) s.host.RunBlock();
  });
  for (int i = 0; i < 1000; ++i) {
    s.host.Dispatch(effMainsChanged, 0, i % 3 == 0 ? 0 : 1);
    s.host.Dispatch(effSetSampleRate, 0, 0, nullptr, i % 2 == 0 ? 44100.0f : 48000.0f);
  }
  stop = true;
  audio.join();
  EXPECT_EQ(s.world.engineChangedDuringBlock.load(), 0);
}

TEST_F(Audio, EmptyOrNegativeBlocksRunNothing) {
  Resume();
  s.world.log.clear();
  s.host.PrepareBlock(0);
  s.host.RunBlock();
  EXPECT_TRUE(s.world.log.empty());
  s.vst->processReplacing(nullptr, nullptr, -64);
  EXPECT_TRUE(s.world.log.empty());
}


#if defined(KR_HAVE_SSE_CONTROL)
// Subnormals flush to zero inside the host's audio calls only: the host's
// own floating-point mode comes back afterwards.
TEST_F(Audio, AudioCallsFlushSubnormalsAndRestoreTheHostMode) {
  unsigned inside = 0;
  s.world.duringBlock = [&](FakeWorld&, kr::HostBlock&) { inside = _mm_getcsr(); };
  Resume();
  s.host.PrepareBlock(8);
  const unsigned before = _mm_getcsr();
  const unsigned flags = kr::ScopedFlushDenormals::kFlushToZero | kr::ScopedFlushDenormals::kDenormalsAreZero;
  ASSERT_EQ(before & flags, 0u);
  s.host.RunBlock();
  EXPECT_EQ(inside & flags, flags);
  EXPECT_EQ(_mm_getcsr(), before);
  inside = 0;
  s.host.RunBlock({}, ProcessMode::Accumulating);
  EXPECT_EQ(inside & flags, flags);
  EXPECT_EQ(_mm_getcsr(), before);
}
#endif

}  // namespace
