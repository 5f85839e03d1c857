// MIDI made by the patch, handed to the host after each block.
#include <gtest/gtest.h>

#include "shell_fakes.h"

using namespace kr;

using namespace vst;
using krtest::FakeWorld;
using krtest::ShellFixtureState;

namespace {

struct Planned {
  std::uint32_t time;
  std::uint32_t message;
};

class MidiOut : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(s.Create());
    s.host.Dispatch(effMainsChanged, 0, 1);
    s.host.PrepareBlock(64);
    // The patch writes what is planned for the block being computed.
    s.world.duringBlock = [this](FakeWorld&, kr::HostBlock& block) {
      for (const Planned& p : plan) block.midiOut->Write(p.time, p.message);
      plan.clear();
    };
    s.host.ClearCalls();
  }
  std::vector<HostCall> Sent() { return s.host.CallsWithOpcode(audioMasterProcessEvents); }
  static std::uint8_t Byte(const VstMidiEvent& e, int i) { return static_cast<std::uint8_t>(e.midiData[i]); }

  ShellFixtureState s;
  std::vector<Planned> plan;
};

TEST_F(MidiOut, NothingPendingSendsNothing) {
  s.host.RunBlock();
  EXPECT_TRUE(Sent().empty());
}

TEST_F(MidiOut, RecordsCarryTheMessageAndTheBlockOffset) {
  plan = {{3, 0x7F3C90}, {40, 0x0005C1}, {41, 0x0040D2}};
  s.host.RunBlock();
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].effect, s.host.Effect());
  ASSERT_EQ(sent[0].events.size(), 3u);
  const VstMidiEvent& note = sent[0].events[0];
  EXPECT_EQ(note.type, kVstMidiType);
  EXPECT_EQ(note.byteSize, 24);
  EXPECT_EQ(note.deltaFrames, 3);
  EXPECT_EQ(note.flags | note.noteLength | note.noteOffset | note.detune | note.noteOffVelocity | note.reserved1 |
                note.reserved2,
            0);
  EXPECT_EQ(Byte(note, 0), 0x90);
  EXPECT_EQ(Byte(note, 1), 0x3C);
  EXPECT_EQ(Byte(note, 2), 0x7F);
  EXPECT_EQ(Byte(note, 3), 0);
  // Program change and channel pressure carry 0xFF as their unused byte.
  EXPECT_EQ(sent[0].events[1].deltaFrames, 40);
  EXPECT_EQ(Byte(sent[0].events[1], 0), 0xC1);
  EXPECT_EQ(Byte(sent[0].events[1], 1), 5);
  EXPECT_EQ(Byte(sent[0].events[1], 2), 0xFF);
  EXPECT_EQ(Byte(sent[0].events[2], 0), 0xD2);
  EXPECT_EQ(Byte(sent[0].events[2], 2), 0xFF);
}

TEST_F(MidiOut, TwoProgramChangesBothCarry0xFF) {
  plan = {{0, 0x0001C0}, {1, 0x0002C0}};
  s.host.RunBlock();
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(sent[0].events.size(), 2u);
  for (const VstMidiEvent& e : sent[0].events) EXPECT_EQ(Byte(e, 2), 0xFF);
}

TEST_F(MidiOut, AnEntryBeyondTheBlockWaitsForItsBlock) {
  plan = {{10, 0x004090}, {100, 0x004080}};  // block 0..63, then 64..127
  s.host.RunBlock();
  auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(sent[0].events.size(), 1u);
  EXPECT_EQ(sent[0].events[0].deltaFrames, 10);

  s.host.RunBlock();
  sent = Sent();
  ASSERT_EQ(sent.size(), 2u);
  ASSERT_EQ(sent[1].events.size(), 1u);
  EXPECT_EQ(sent[1].events[0].deltaFrames, 100 - 64);
  EXPECT_EQ(Byte(sent[1].events[0], 0), 0x80);
}

TEST_F(MidiOut, OnlyFutureEntriesStillSendAnEmptyList) {
  plan = {{200, 0x004090}};
  s.host.RunBlock();
  auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].events.empty());
  EXPECT_TRUE(sent[0].hadPointer);
  s.host.RunBlock();
  s.host.RunBlock();
  s.host.RunBlock();  // 192..255
  sent = Sent();
  ASSERT_EQ(sent.size(), 4u);
  ASSERT_EQ(sent[3].events.size(), 1u);
  EXPECT_EQ(sent[3].events[0].deltaFrames, 8);
}

TEST_F(MidiOut, LateEntriesGoToTheBlockStart) {
  s.host.RunBlock();  // now at 64
  plan = {{20, 0x004090}};
  s.host.RunBlock();
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(sent[0].events.size(), 1u);
  EXPECT_EQ(sent[0].events[0].deltaFrames, 0);
}

TEST_F(MidiOut, RecordsStayValidUntilTheNextBlockWithMidi) {
  plan = {{5, 0x123490}};
  s.host.RunBlock();
  auto* list = static_cast<VstEvents*>(Sent().at(0).ptr);
  s.host.RunBlock();  // no MIDI: the host may still read the list
  ASSERT_EQ(list->numEvents, 1);
  auto* first = reinterpret_cast<VstMidiEvent*>(*reinterpret_cast<VstEvent**>(
      reinterpret_cast<char*>(list) + offsetof(VstEvents, events)));
  EXPECT_EQ(first->deltaFrames, 5);
  EXPECT_EQ(Byte(*first, 1), 0x34);
}

TEST_F(MidiOut, ManyEntriesInOneBlockArriveInOrder) {
  for (std::uint32_t i = 0; i < 57; ++i) plan.push_back({i, 0x90 | (i << 8)});
  s.host.RunBlock();
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(sent[0].events.size(), 57u);
  for (std::uint32_t i = 0; i < 57; ++i) {
    EXPECT_EQ(sent[0].events[i].deltaFrames, static_cast<VstInt32>(i));
    EXPECT_EQ(Byte(sent[0].events[i], 1), i);
  }
}

TEST_F(MidiOut, ReadingFollowsTheRingAcrossItsEnd) {
  int delivered = 0;
  for (int block = 0; block < 20; ++block) {
    for (std::uint32_t i = 0; i < 30; ++i)
      plan.push_back({static_cast<std::uint32_t>(block) * 64 + i, 0x90 | ((i & 0x7F) << 8)});
    s.host.RunBlock();
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), static_cast<std::size_t>(block + 1));
    ASSERT_EQ(sent.back().events.size(), 30u) << "block " << block;
    delivered += 30;
  }
  EXPECT_GT(delivered, OutgoingMidiRing::kSize);
}

TEST_F(MidiOut, ANewEngineIsReadFromItsOwnStart) {
  plan = {{1, 0x004090}, {2, 0x004190}, {3, 0x004290}};
  s.host.RunBlock();
  s.host.Dispatch(effMainsChanged, 0, 0);
  s.host.Dispatch(effMainsChanged, 0, 1);  // a fresh output module with an empty ring
  s.host.ClearCalls();
  plan = {{5, 0x004390}};
  s.host.RunBlock();
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(sent[0].events.size(), 1u);
  EXPECT_EQ(sent[0].events[0].deltaFrames, 5);
  EXPECT_EQ(Byte(sent[0].events[0], 1), 0x43);
}

}  // namespace
