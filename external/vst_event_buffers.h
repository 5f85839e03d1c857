// The audio object's MIDI bookkeeping for a hosted plug-in, made at Open so
// that the audio thread never allocates: the queue of messages waiting for
// the plug-in (bounded; a message that finds it full is dropped) and the
// VstEvents list handed over for one processing call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vst/vst2.h"

namespace kr {

struct QueuedMidi {
  std::int32_t time = 0;
  std::uint32_t message = 0;
};

class VstMidiQueue {
 public:
  static constexpr std::size_t kCapacity = 4096;
  void Reserve() { ring_.assign(kCapacity, QueuedMidi{}); }
  // False (the message dropped) when full.
  bool Push(QueuedMidi entry);
  bool Empty() const { return count_ == 0; }
  const QueuedMidi& Front() const { return ring_[head_]; }
  void PopFront();
  void Clear() { head_ = count_ = 0; }
  std::size_t Size() const { return count_; }
  std::size_t Dropped() const { return dropped_; }

 private:
  std::vector<QueuedMidi> ring_;
  std::size_t head_ = 0, count_ = 0, dropped_ = 0;
};

class VstEventList {
 public:
  void Reserve(std::size_t capacity);
  void Clear();
  // False when the list is full.
  bool Append(const vst::VstMidiEvent& event);
  bool Empty() const { return count_ == 0; }
  std::size_t Size() const { return count_; }
  vst::VstEvents* Events();
  const vst::VstMidiEvent& At(std::size_t i) const { return records_[i]; }

 private:
  std::vector<vst::VstMidiEvent> records_;
  // The VstEvents header with room for every pointer (its array is variable-length).
  std::vector<std::uintptr_t> header_;
  std::size_t count_ = 0;
};

// The MIDI events of a list a plug-in hands over, read safely: at most
// limit entries, skipping null slots and events that are not MIDI.
template <class Visit>
void ForEachMidiEvent(const vst::VstEvents* events, int limit, Visit visit) {
  if (events == nullptr) return;
  const int count = events->numEvents < limit ? events->numEvents : limit;
  auto* const* slots = reinterpret_cast<vst::VstEvent* const*>(reinterpret_cast<const char*>(events) +
                                                                offsetof(vst::VstEvents, events));
  for (int i = 0; i < count; ++i) {
    const vst::VstEvent* e = slots[i];
    if (e == nullptr || e->type != vst::kVstMidiType) continue;
    visit(*reinterpret_cast<const vst::VstMidiEvent*>(e));
  }
}

}  // namespace kr
