// A Standard MIDI File as read from untrusted bytes: the header, and per
// track the channel messages, tempo changes and end-of-track marks with their
// absolute tick. System-exclusive and other meta events are skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kr::midifile {

enum class EventKind : std::uint8_t { Channel, Tempo, EndOfTrack };

struct TrackEvent {
  std::uint64_t tick = 0;
  EventKind kind = EventKind::Channel;
  std::uint8_t status = 0;  // channel messages: 0x80..0xEF
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;   // 0 for one-data-byte messages (0xC0, 0xD0)
  std::uint32_t microsPerQuarter = 0;  // tempo changes only
};

struct Track {
  std::vector<TrackEvent> events;  // in file order
};

// Ticks per quarter note, or (time-code files) frames per second and ticks per frame.
struct Division {
  bool timeCode = false;
  std::uint16_t ticksPerQuarter = 0;
  std::uint8_t framesPerSecond = 0;  // 24, 25, 29 (29.97) or 30
  std::uint8_t ticksPerFrame = 0;
};

struct MidiFile {
  std::uint16_t format = 0;  // 0 or 1
  Division division;
  std::vector<Track> tracks;
  int unknownChunks = 0;  // chunks between the tracks that are not "MTrk" (skipped)
  int zeroTempos = 0;     // set-tempo events of 0 microseconds (left out of the tracks)
};

struct ReadOptions {
  // A data byte without a running status and a system byte (0xF1 ... 0xFE)
  // where an event belongs are stepped over instead of refusing the file.
  bool skipStrayBytes = false;
};

struct MidiReadResult {
  std::optional<MidiFile> file;
  std::string error;  // set when file is empty
};

// Reads format 0 and 1 files. Every length and offset is checked against the
// bytes; a damaged file gives an error naming the place, never a crash.
MidiReadResult ReadMidiFile(std::span<const std::uint8_t> bytes, ReadOptions options = {});

}  // namespace kr::midifile
