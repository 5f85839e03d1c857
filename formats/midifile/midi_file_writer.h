// Writes a Standard MIDI File from events with absolute ticks: full status
// bytes on every message (no running status), an end-of-track mark after
// each track's last event.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kr::midifile {

struct WrittenEvent {
  std::uint64_t tick = 0;
  std::vector<std::uint8_t> bytes;  // the event after its delta: a channel message, or FF type length data
};

using WrittenTrack = std::vector<WrittenEvent>;

// Events of a track are written in tick order (ties keep their order).
std::vector<std::uint8_t> WriteMidiFile(std::uint16_t format, std::uint16_t ticksPerQuarter,
                                        std::vector<WrittenTrack> tracks);

// A set-tempo meta event.
std::vector<std::uint8_t> TempoEvent(std::uint32_t microsPerQuarter);

// Pieces for writers that append as they go (the MIDI recorder), without
// allocating. A value above 0x0FFFFFFF is written as 0x0FFFFFFF.
std::size_t EncodeVariableLength(std::uint32_t value, std::array<std::uint8_t, 4>& out);
// "MThd", length 6, format, track count and the division word as stored
// (a time-code division has its top bit set).
std::array<std::uint8_t, 14> HeaderChunk(std::uint16_t format, std::uint16_t tracks, std::uint16_t division);
std::array<std::uint8_t, 8> TrackChunkHead(std::uint32_t length);

}  // namespace kr::midifile
