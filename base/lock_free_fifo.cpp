#include "base/lock_free_fifo.h"

#include <algorithm>

#include "platform/platform.h"

namespace kr {

lock_free_fifo::lock_free_fifo(int size, WaitPolicy policy)
    : size_(std::max(2, size)),
      policy_(policy),
      data_(std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(size_))),
      readPos_(size_),
      writePos_(size_),
      pendingPos_(size_) {}

lock_free_fifo::~lock_free_fifo() = default;

namespace {
bool FullAt(int writePos, int readPos, int size) { return writePos % size + 1 == readPos; }
}  // namespace

bool lock_free_fifo::IsEmpty() const {
  return readPos_.load(std::memory_order_acquire) == writePos_.load(std::memory_order_acquire);
}

bool lock_free_fifo::IsFull() const {
  const int writer = policy_.commitWholeMessages ? pendingPos_ : writePos_.load(std::memory_order_acquire);
  return FullAt(writer, readPos_.load(std::memory_order_acquire), size_);
}

int lock_free_fifo::UsedBytes() const {
  const int r = readPos_.load(std::memory_order_acquire) % size_;
  const int w = writePos_.load(std::memory_order_acquire) % size_;
  return (w - r + size_) % size_;
}

int lock_free_fifo::FreeBytes() const { return size_ - 1 - UsedBytes(); }

void lock_free_fifo::Reset() {
  readPos_.store(size_, std::memory_order_release);
  writePos_.store(size_, std::memory_order_release);
  pendingPos_ = size_;
  pendingLost_ = false;
}

void lock_free_fifo::WriteByte(std::uint8_t byte) {
  const bool whole = policy_.commitWholeMessages;
  if (whole && pendingLost_) return;  // the rest of a lost message goes too
  for (int tries = 0; IsFull(); ++tries) {
    if (tries >= policy_.writeWaits) {
      QueueFull();
      if (!IsFull()) break;
      if (whole) pendingLost_ = true;
      return;  // dropped
    }
    platform::SleepMs(static_cast<unsigned>(policy_.writeSleepMs));
  }
  if (whole && pendingLost_) return;  // QueueFull may have emptied the ring mid-message
  const int position = whole ? pendingPos_ : writePos_.load(std::memory_order_relaxed);
  const int index = position % size_;
  data_[static_cast<std::size_t>(index)] = byte;
  if (whole) {
    pendingPos_ = index + 1;
  } else {
    writePos_.store(index + 1, std::memory_order_release);
  }
}

void lock_free_fifo::Write(std::span<const std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) WriteByte(b);
}

void lock_free_fifo::Commit() {
  if (!policy_.commitWholeMessages) return;
  if (pendingLost_) {
    pendingPos_ = writePos_.load(std::memory_order_relaxed);
    pendingLost_ = false;
    return;
  }
  writePos_.store(pendingPos_, std::memory_order_release);
}

std::uint8_t lock_free_fifo::ReadByte() {
  for (int tries = 0; IsEmpty(); ++tries) {
    if (tries >= policy_.readWaits) return 0;
    platform::SleepMs(static_cast<unsigned>(policy_.readSleepMs));
  }
  const int index = readPos_.load(std::memory_order_relaxed) % size_;
  const std::uint8_t byte = data_[static_cast<std::size_t>(index)];
  readPos_.store(index + 1, std::memory_order_release);
  return byte;
}

void lock_free_fifo::Read(std::span<std::uint8_t> bytes) {
  for (std::uint8_t& b : bytes) b = ReadByte();
}

void lock_free_fifo::SkipReadable() {
  readPos_.store(writePos_.load(std::memory_order_acquire), std::memory_order_release);
}

}  // namespace kr
