// The ring of MIDI messages made by the patch: the host output module writes
// it, the effect object collects it after each block. Written and read on the audio thread;
// the write position is atomic so a reader on another thread sees whole entries.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace kr {

struct OutgoingMidiEntry {
  std::uint32_t time = 0;      // engine sample time
  std::uint32_t reserved = 0;
  std::uint32_t message = 0;   // status bits 0-7, data 1 bits 8-15, data 2 bits 16-23
};

class OutgoingMidiRing {
 public:
  static constexpr int kSize = 400;

  // Stores at the write position and advances it; never looks at a reader,
  // so more than kSize - 1 unread messages overwrite the oldest.
  void Write(std::uint32_t time, std::uint32_t message) {
    const int pos = writePos_.load(std::memory_order_relaxed);
    entries_[static_cast<std::size_t>(pos)] = {time, 0, message};
    writePos_.store((pos + 1) % kSize, std::memory_order_release);
  }
  int WritePosition() const { return writePos_.load(std::memory_order_acquire); }
  const OutgoingMidiEntry& At(int pos) const { return entries_[static_cast<std::size_t>(pos)]; }

 private:
  std::array<OutgoingMidiEntry, kSize> entries_{};
  std::atomic<int> writePos_{0};
};

}  // namespace kr
