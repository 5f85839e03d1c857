#include "shell/outgoing_midi_events.h"

#include <cstring>

namespace kr {

using namespace vst;

static_assert(offsetof(VstEvents, reserved) == sizeof(std::uintptr_t));
static_assert(offsetof(VstEvents, events) == 2 * sizeof(std::uintptr_t));

void OutgoingMidiEvents::Grow() {
  const std::size_t capacity = records_.size() + kGrowStep;
  records_.resize(capacity);
  header_.resize(2 + capacity);
}

void OutgoingMidiEvents::Add(std::int32_t deltaFrames, std::uint32_t message) {
  if (count_ == records_.size()) Grow();
  VstMidiEvent& e = records_[count_++];
  e = VstMidiEvent{};
  e.type = kVstMidiType;
  e.byteSize = 24;
  e.deltaFrames = deltaFrames < 0 ? 0 : deltaFrames;
  const std::uint8_t status = message & 0xFF;
  e.midiData[0] = static_cast<char>(status);
  e.midiData[1] = static_cast<char>((message >> 8) & 0xFF);
  // Program change and channel pressure have one data byte; hosts get 0xFF in the unused one.
  const bool oneDataByte = status >= 0xC0 && status <= 0xDF;
  e.midiData[2] = static_cast<char>(oneDataByte ? 0xFF : (message >> 16) & 0xFF);
  e.midiData[3] = 0;
}

VstEvents* OutgoingMidiEvents::Header() {
  if (header_.size() < 2) header_.resize(2 + kGrowStep);  // an empty list still needs its header
  auto* events = reinterpret_cast<VstEvents*>(header_.data());
  events->numEvents = static_cast<VstInt32>(count_);
  events->reserved = 0;
  auto** slots = reinterpret_cast<VstEvent**>(header_.data() + 2);
  for (std::size_t i = 0; i < count_; ++i) slots[i] = reinterpret_cast<VstEvent*>(&records_[i]);
  return events;
}

}  // namespace kr
