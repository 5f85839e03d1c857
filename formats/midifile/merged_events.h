// The channel messages of every track as one list in time order.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/midifile/midi_file.h"

namespace kr::midifile {

struct TimedMessage {
  std::uint64_t tick = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

// Sorted by tick; messages at one tick keep track order, then file order.
std::vector<TimedMessage> MergeChannelMessages(const MidiFile& file);

// The tick of the file's last event or end-of-track mark.
std::uint64_t EndTick(const MidiFile& file);

}  // namespace kr::midifile
