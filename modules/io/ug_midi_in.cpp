#include "modules/io/ug_midi_in.h"

#include "registry/plug_declaration.h"

namespace kr {

void ug_midi_in::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_in> kPlugs[] = {
      {.name = "MIDI Data", .direction = DR_OUT, .type = DT_MIDI},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_midi_in::Open() {
  readPos_.store(writePos_.load(std::memory_order_acquire), std::memory_order_release);
  minimumTime_ = 0;
  ug_base::Open();
}

void ug_midi_in::Post(const OutgoingMidiEntry& entry) {
  OutgoingMidiEntry e = entry;
  if (e.time < minimumTime_) e.time = minimumTime_;
  const int pos = writePos_.load(std::memory_order_relaxed);
  const int next = (pos + 1) % kRingSize;
  if (next == readPos_.load(std::memory_order_acquire)) return;  // full: the reader has not caught up
  ring_[static_cast<std::size_t>(pos)] = e;
  writePos_.store(next, std::memory_order_release);
}

void ug_midi_in::RunFor(int count) {
  const auto end = static_cast<std::uint32_t>(clock + count);
  bool sent = false;
  UPlug* out = plugs.empty() ? nullptr : plugs.front().get();
  int pos = readPos_.load(std::memory_order_relaxed);
  const int stop = writePos_.load(std::memory_order_acquire);
  while (pos != stop) {
    const OutgoingMidiEntry& e = ring_[static_cast<std::size_t>(pos)];
    if (static_cast<std::int32_t>(e.time - end) >= 0) break;
    pos = (pos + 1) % kRingSize;
    if (e.message == 0xFE) continue;  // active sensing
    // Too late: played at the start of this sub-block.
    const int time = static_cast<std::int32_t>(e.time - static_cast<std::uint32_t>(clock)) < 0
                         ? clock
                         : static_cast<int>(e.time);
    if (out != nullptr) out->SendMidi(time, e.message);
    sent = true;
  }
  readPos_.store(pos, std::memory_order_release);
  if (sent && out != nullptr) out->WakeReceivers();
  ug_base::RunFor(count);
}

}  // namespace kr
