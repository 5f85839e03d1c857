// Plays a read MIDI file in engine samples the way the MIDI Player
// schedules it: one run at every MIDI clock tick (24 a quarter note) and at
// every tick holding events; tempo from the file's set-tempo events (bpm as
// a whole number, 60000000 / microseconds) or from outside, held to 10 ...
// 300 bpm; the fraction of a sample carried from run to run so that times
// never drift. Runs that fall on the same sample are made at once.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "formats/midifile/midi_file.h"

namespace kr::midifile {

class SequenceWalker {
 public:
  static constexpr std::uint32_t kClock = 0xF8;
  static constexpr std::uint32_t kStart = 0xFA;
  static constexpr std::uint32_t kStop = 0xFC;

  SequenceWalker(MidiFile file, double sampleRate, bool ignoreFileTempo, bool loop);

  // bpm from outside (the "Tempo" input); the file's tempo events replace it
  // unless they are ignored. Time-code files keep their fixed tick length.
  void SetBpm(double bpm);
  double SamplesPerTick() const { return samplesPerTick_; }
  int ClockInterval() const { return clockInterval_; }
  std::uint64_t Tick() const { return tick_; }
  bool Ended() const { return ended_; }

  // One run at the current tick: send(word) for each message in order
  // (clock, the tick's channel messages in track order, the stop at the
  // end). Returns the samples until the next run (at least 1), or -1 once
  // the sequence has ended (without loop): nothing more is to be sent.
  template <class Send>
  std::int64_t Step(Send&& send);

  // bpm as set-tempo gives it: 60000000 / microseconds, whole.
  static double BpmOf(std::uint32_t microsPerQuarter) { return static_cast<double>(60000000u / microsPerQuarter); }

 private:
  struct Cursor {
    std::size_t next = 0;
  };
  void Rewind();
  void ApplyBpm(double bpm);
  // Runs the tick's clock and events; the earliest tick with events left, or kNone.
  template <class Send>
  std::uint64_t RunTick(Send& send, bool& clockSent);

  static constexpr std::uint64_t kNone = ~std::uint64_t{0};
  MidiFile file_;
  std::vector<Cursor> cursors_;
  double sampleRate_;
  bool ignoreFileTempo_;
  bool loop_;
  double samplesPerTick_ = 1.0;
  double fraction_ = 0.0;
  std::uint64_t tick_ = 0;
  std::uint64_t nextClock_ = 0;
  int clockInterval_ = 4;
  bool ended_ = false;
};

template <class Send>
std::uint64_t SequenceWalker::RunTick(Send& send, bool& clockSent) {
  if (nextClock_ == tick_) {
    if (!clockSent) send(kClock);
    clockSent = true;
    nextClock_ += static_cast<std::uint64_t>(clockInterval_);
  }
  std::uint64_t nextStop = kNone;
  for (std::size_t t = 0; t < file_.tracks.size(); ++t) {
    const std::vector<TrackEvent>& events = file_.tracks[t].events;
    std::size_t& i = cursors_[t].next;
    for (; i < events.size() && events[i].tick <= tick_; ++i) {
      const TrackEvent& e = events[i];
      if (e.kind == EventKind::Channel) {
        send(static_cast<std::uint32_t>(e.status) | static_cast<std::uint32_t>(e.data1) << 8 |
             static_cast<std::uint32_t>(e.data2) << 16);
      } else if (e.kind == EventKind::Tempo && !ignoreFileTempo_ && !file_.division.timeCode) {
        ApplyBpm(BpmOf(e.microsPerQuarter));
      }
    }
    if (i < events.size()) nextStop = std::min(nextStop, events[i].tick);
  }
  return nextStop;
}

template <class Send>
std::int64_t SequenceWalker::Step(Send&& send) {
  if (ended_) return -1;
  bool clockSent = false;
  // Bounded: every pass moves the tick on by at least one, and a sample
  // holds at most a few ticks at the fastest tempo and finest division.
  for (int pass = 0; pass < 1 << 16; ++pass) {
    std::uint64_t nextStop = RunTick(send, clockSent);
    if (nextStop == kNone) {
      if (!loop_) {
        send(kStop);
        ended_ = true;
        return -1;
      }
      if (tick_ > 0) {
        // The loop starts again at this very run: its first clock is the
        // one already sent (or sent now), never a second.
        Rewind();
        nextClock_ = clockSent ? static_cast<std::uint64_t>(clockInterval_) : 0;
        nextStop = RunTick(send, clockSent);
      }
      // A sequence with nothing after tick 0 loops once per clock interval.
      if (nextStop == kNone) nextStop = static_cast<std::uint64_t>(clockInterval_);
    }
    const std::uint64_t t = std::min(nextClock_, nextStop);
    const double f = fraction_ + samplesPerTick_ * static_cast<double>(t - tick_);
    const double whole = std::floor(f);
    fraction_ = f - whole;
    tick_ = t;
    clockSent = false;
    if (whole >= 1.0) return static_cast<std::int64_t>(whole);
  }
  return 1;
}

}  // namespace kr::midifile
