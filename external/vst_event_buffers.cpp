#include "external/vst_event_buffers.h"

namespace kr {

bool VstMidiQueue::Push(QueuedMidi entry) {
  if (count_ == ring_.size()) {
    ++dropped_;
    return false;
  }
  ring_[(head_ + count_) % ring_.size()] = entry;
  ++count_;
  return true;
}

void VstMidiQueue::PopFront() {
  if (count_ == 0) return;
  head_ = (head_ + 1) % ring_.size();
  --count_;
}

void VstEventList::Reserve(std::size_t capacity) {
  records_.assign(capacity, vst::VstMidiEvent{});
  header_.assign(2 + capacity, 0);
  count_ = 0;
}

void VstEventList::Clear() { count_ = 0; }

bool VstEventList::Append(const vst::VstMidiEvent& event) {
  if (count_ == records_.size()) return false;
  records_[count_++] = event;
  return true;
}

vst::VstEvents* VstEventList::Events() {
  auto* list = reinterpret_cast<vst::VstEvents*>(header_.data());
  list->numEvents = static_cast<vst::VstInt32>(count_);
  list->reserved = 0;
  auto** slots = reinterpret_cast<vst::VstEvent**>(header_.data() + 2);
  for (std::size_t i = 0; i < count_; ++i) slots[i] = reinterpret_cast<vst::VstEvent*>(&records_[i]);
  return list;
}

}  // namespace kr
