// The byte ring: positions, capacity, waiting, overflow and whole messages.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/lock_free_fifo.h"
#include "engine/msg_stream.h"
#include "platform/platform.h"

using namespace kr;

namespace {

FifoWaitPolicy Quick(bool whole = false) {
  FifoWaitPolicy p;
  p.writeWaits = 3;
  p.writeSleepMs = 1;
  p.readWaits = 3;
  p.readSleepMs = 1;
  p.commitWholeMessages = whole;
  return p;
}

struct CountingFifo : lock_free_fifo {
  using lock_free_fifo::lock_free_fifo;
  void QueueFull() override {
    ++fulls;
    if (drainOnFull) ReadByte();
  }
  int fulls = 0;
  bool drainOnFull = false;
};

}  // namespace

TEST(LockFreeFifo, PositionsStartAtSizeAndRunFromOneToSize) {
  lock_free_fifo f(4, Quick());
  EXPECT_EQ(f.ReadPos(), 4);
  EXPECT_EQ(f.WritePos(), 4);
  EXPECT_TRUE(f.IsEmpty());
  f.WriteByte(10);
  EXPECT_EQ(f.WritePos(), 1);
  f.WriteByte(11);
  f.WriteByte(12);
  EXPECT_EQ(f.WritePos(), 3);
  EXPECT_TRUE(f.IsFull());
  EXPECT_EQ(f.ReadByte(), 10);
  EXPECT_EQ(f.ReadPos(), 1);
  f.WriteByte(13);
  EXPECT_EQ(f.WritePos(), 4);
  for (int expected : {11, 12, 13}) EXPECT_EQ(f.ReadByte(), expected);
  EXPECT_TRUE(f.IsEmpty());
}

TEST(LockFreeFifo, HoldsSizeMinusOneBytesThenWaitsAndCallsQueueFull) {
  CountingFifo f(4096, Quick());
  for (int i = 0; i < 4095; ++i) f.WriteByte(static_cast<std::uint8_t>(i));
  EXPECT_TRUE(f.IsFull());
  EXPECT_EQ(f.UsedBytes(), 4095);
  EXPECT_EQ(f.fulls, 0);
  f.WriteByte(1);  // waits, then overflows: dropped
  EXPECT_EQ(f.fulls, 1);
  EXPECT_EQ(f.UsedBytes(), 4095);
  f.drainOnFull = true;
  f.WriteByte(99);  // queue-full makes room: stored
  EXPECT_EQ(f.fulls, 2);
  for (int i = 1; i < 4095; ++i) ASSERT_EQ(f.ReadByte(), static_cast<std::uint8_t>(i));
  EXPECT_EQ(f.ReadByte(), 99);
}

TEST(LockFreeFifo, AnEmptyRingReadsZeroWithoutConsuming) {
  lock_free_fifo f(16, Quick());
  EXPECT_EQ(f.ReadByte(), 0);
  EXPECT_EQ(f.ReadPos(), 16);
  f.WriteByte(5);
  EXPECT_EQ(f.ReadByte(), 5);
}

TEST(LockFreeFifo, AReaderWaitsForTheRestOfAMessageBeingWritten) {
  FifoWaitPolicy policy;  // the real waits: 500 x 1 ms per byte
  lock_free_fifo f(64, policy);
  my_msg_que_output_stream out(f, 5, 0x01020304);
  std::thread writer([&] {
    platform::SleepMs(20);
    out << std::int32_t{123456};
    out.Send();
  });
  my_msg_que_input_stream in(f);
  EXPECT_EQ(in.ReadInt(), 5);
  EXPECT_EQ(in.ReadInt(), 0x01020304);
  EXPECT_EQ(in.ReadInt(), 123456);
  writer.join();
}

TEST(LockFreeFifo, BytesAreTransferredInOrderBetweenThreads) {
  FifoWaitPolicy spin;  // yield instead of sleeping, so the test is quick
  spin.writeWaits = spin.readWaits = 1 << 30;
  spin.writeSleepMs = spin.readSleepMs = 0;
  lock_free_fifo f(97, spin);
  constexpr int kCount = 20000;
  std::thread writer([&] {
    for (int i = 0; i < kCount; ++i) f.WriteByte(static_cast<std::uint8_t>(i * 7));
  });
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(f.ReadByte(), static_cast<std::uint8_t>(i * 7)) << i;
  writer.join();
}

TEST(LockFreeFifo, WholeMessageModePublishesOnlyCommittedBytes) {
  CountingFifo f(8, Quick(true));
  f.WriteByte(1);
  f.WriteByte(2);
  EXPECT_TRUE(f.IsEmpty()) << "nothing visible before the commit";
  f.Commit();
  EXPECT_EQ(f.UsedBytes(), 2);
  // A message that does not fit is dropped whole, and the ring stays usable.
  for (int i = 0; i < 7; ++i) f.WriteByte(9);
  f.Commit();
  EXPECT_EQ(f.UsedBytes(), 2);
  EXPECT_GE(f.fulls, 1);
  EXPECT_EQ(f.ReadByte(), 1);
  EXPECT_EQ(f.ReadByte(), 2);
  EXPECT_TRUE(f.IsEmpty());
  f.WriteByte(3);
  f.Commit();
  EXPECT_EQ(f.ReadByte(), 3);
}

TEST(MessageStreams, IntegersAreLittleEndianAfterHandleAndId) {
  lock_free_fifo f(64, Quick());
  my_msg_que_output_stream out(f, 0x11223344, 0x6E6F7469);
  out << std::int32_t{-2} << 1.5f << std::uint8_t{7};
  out.Send();
  std::vector<std::uint8_t> bytes(17);
  f.Read(bytes);
  const std::vector<std::uint8_t> expected = {0x44, 0x33, 0x22, 0x11, 0x69, 0x74, 0x6F, 0x6E, 0xFE,
                                              0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xC0, 0x3F, 0x07};
  EXPECT_EQ(bytes, expected);
}
