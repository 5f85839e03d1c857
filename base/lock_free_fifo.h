// Single-producer, single-consumer byte ring. Positions run from 1 to size
// (position p addresses byte p % size); empty when readPos == writePos, full
// when writePos % size + 1 == readPos, so it holds size - 1 bytes. Only the
// writer moves writePos and only the reader moves readPos.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

namespace kr {

struct FifoWaitPolicy {
  int writeWaits = 50;  // tries while full before queue-full
  int writeSleepMs = 10;
  int readWaits = 500;  // tries while empty before reading a zero
  int readSleepMs = 1;
  // Publish written bytes only at Commit (whole messages); a message that
  // lost bytes to a full ring is then dropped whole.
  bool commitWholeMessages = false;
};

class lock_free_fifo {
 public:
  using WaitPolicy = FifoWaitPolicy;

  explicit lock_free_fifo(int size, WaitPolicy policy = WaitPolicy());
  lock_free_fifo(const lock_free_fifo&) = delete;
  lock_free_fifo& operator=(const lock_free_fifo&) = delete;
  virtual ~lock_free_fifo();

  // Virtual operations in slot order (after the destructor).
  virtual void MessageComplete() {}
  virtual void QueueFull() {}

  // Writer side. A full ring waits, then calls QueueFull, then drops the byte.
  void WriteByte(std::uint8_t byte);
  void Write(std::span<const std::uint8_t> bytes);
  // Whole-message mode: publishes the bytes written since the last commit,
  // or drops them when one was lost.
  void Commit();
  // Writer side, whole-message mode: the message being written will be dropped at Commit.
  void DropPending() { pendingLost_ = true; }
  // Reader side. An empty ring waits, then reads 0 without consuming.
  std::uint8_t ReadByte();
  void Read(std::span<std::uint8_t> bytes);

  // Reader side: drops everything readable (whole messages in whole-message mode).
  void SkipReadable();

  bool IsEmpty() const;
  bool IsFull() const;
  int Size() const { return size_; }
  int FreeBytes() const;
  int UsedBytes() const;
  // Both positions back to size (the ring empties). Only safe when the
  // other side is not using the ring, or from the reader (which then owns both).
  void Reset();

  int ReadPos() const { return readPos_.load(std::memory_order_acquire); }
  int WritePos() const { return writePos_.load(std::memory_order_acquire); }

 private:
  int size_;
  WaitPolicy policy_;
  std::unique_ptr<std::uint8_t[]> data_;
  std::atomic<int> readPos_;
  std::atomic<int> writePos_;
  int pendingPos_;         // writer's cursor in whole-message mode
  bool pendingLost_ = false;
};

}  // namespace kr
