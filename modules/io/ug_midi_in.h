// "MIDI In": plays time-stamped MIDI posted by a producer on another thread
// on its "MIDI Data" plug. Nothing in the plug-in posts to it yet.
#pragma once

#include <array>
#include <atomic>

#include "engine/outgoing_midi_ring.h"
#include "engine/ug_base.h"

namespace kr {

class ug_midi_in : public ug_base {
 public:
  static constexpr int kRingSize = OutgoingMidiRing::kSize;

  ug_midi_in() { SetProcessFunction(&ug_base::SleepCheck); }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_in>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void RunFor(int count) override;
  bool CanSleep() override { return false; }

  // Producer side (one thread). A time below the minimum is raised to it.
  void Post(const OutgoingMidiEntry& entry);

 private:
  std::array<OutgoingMidiEntry, kRingSize> ring_{};
  std::atomic<int> writePos_{0};
  std::atomic<int> readPos_{0};
  std::uint32_t minimumTime_ = 0;
};

}  // namespace kr
