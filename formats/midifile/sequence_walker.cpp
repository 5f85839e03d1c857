#include "formats/midifile/sequence_walker.h"

#include <algorithm>
#include <cmath>

namespace kr::midifile {

SequenceWalker::SequenceWalker(MidiFile file, double sampleRate, bool ignoreFileTempo, bool loop)
    : file_(std::move(file)), sampleRate_(sampleRate > 0.0 ? sampleRate : 44100.0),
      ignoreFileTempo_(ignoreFileTempo), loop_(loop) {
  cursors_.resize(file_.tracks.size());
  const Division& d = file_.division;
  if (d.timeCode) {
    // A fixed tick length; clocks as for a quarter note of half a second.
    const double ticksPerSecond = (d.framesPerSecond == 29 ? 29.97 : d.framesPerSecond) * d.ticksPerFrame;
    samplesPerTick_ = sampleRate_ / ticksPerSecond;
    clockInterval_ = std::max(1, static_cast<int>(ticksPerSecond / 2.0) / 24);
  } else {
    clockInterval_ = std::max(1, d.ticksPerQuarter / 24);
    ApplyBpm(120.0);
  }
  Rewind();
  tick_ = 0;
  nextClock_ = 0;
  fraction_ = 0.0;
}

void SequenceWalker::Rewind() {
  for (Cursor& c : cursors_) c.next = 0;
  tick_ = 0;
}

void SequenceWalker::ApplyBpm(double bpm) {
  if (file_.division.timeCode) return;
  if (!(bpm > 10.0)) bpm = 10.0;  // NaN too
  if (bpm >= 300.0) bpm = 300.0;
  samplesPerTick_ = sampleRate_ / (bpm * file_.division.ticksPerQuarter * (1.0 / 60.0));
}

void SequenceWalker::SetBpm(double bpm) { ApplyBpm(bpm); }

}  // namespace kr::midifile
