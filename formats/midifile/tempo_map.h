// Ticks to seconds through a MIDI file's tempo changes, and back from
// seconds to the musical position a host reports (quarter notes, tempo).
#pragma once

#include <cstdint>
#include <vector>

#include "formats/midifile/midi_file.h"

namespace kr::midifile {

class TempoMap {
 public:
  static constexpr std::uint32_t kDefaultMicrosPerQuarter = 500000;  // 120 bpm until the file says otherwise

  // Tempo changes are taken from every track (format 1 files keep them in
  // the first); at one tick the last change read wins. Time-code files have a
  // fixed tick length and report a nominal 120 bpm.
  explicit TempoMap(const MidiFile& file);

  double SecondsAt(std::uint64_t tick) const;
  // The sample nearest to a tick's time (halves round up), computed in whole
  // numbers so that positions do not drift with the length of the file.
  std::int64_t SampleAt(std::uint64_t tick, std::uint32_t sampleRate) const;
  double QuartersAt(double seconds) const;  // quarter notes from the start
  double BpmAt(double seconds) const;

 private:
  // Time is counted in units of 1 / denominator_ seconds; a tick of a
  // segment lasts `unitsPerTick` units (microseconds per quarter for
  // files in quarters, 1 or 1001 for time-code files).
  struct Segment {
    std::uint64_t tick = 0;
    std::uint64_t units = 0;  // time at the segment's start
    std::uint32_t unitsPerTick = 0;
    double seconds = 0.0;
    double secondsPerTick = 0.0;
    double quarters = 0.0;  // position at the segment's start
    double bpm = 120.0;
  };
  const Segment& SegmentAtTick(std::uint64_t tick) const;
  const Segment& SegmentAtSeconds(double seconds) const;

  std::vector<Segment> segments_;  // never empty, sorted by tick
  std::uint64_t denominator_ = 1;
};

}  // namespace kr::midifile
