// Band-limited wavetable sets: for each wave, tables from the richest (most
// harmonics) to the poorest, and the choice of table for a phase increment.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp/lookup_tables.h"

namespace kr::dsp {

enum class WaveKind { Sine, Cosine, Saw, Triangle };

using WaveTableSet = std::vector<Uwavetable>;  // richest first

// Builds a set: harmonics grouped in half-octave steps, one table per group.
WaveTableSet BuildTableSet(WaveKind kind, bool smoothing);

// The process-wide sets, built on first use (thread-safe) and never changed:
// their contents and bounds are phase-increment relative, the same at every
// sample rate.
const WaveTableSet& SineTableSet();
const WaveTableSet& CosineTableSet();
const WaveTableSet& SawTableSet(bool smoothing);
const WaveTableSet& TriangleTableSet();
// 514 zeros; used above the poorest table's limit.
const Uwavetable& SilenceTable();
// Builds every set an oscillator can switch to (milliseconds, once a process;
// not on the audio thread), so that a wave chosen while it plays is there.
void BuildEveryTableSet();

// The current table of an oscillator and the bounds within which it stays.
struct TableChoice {
  const Uwavetable* table = nullptr;
  std::uint32_t lower = 1;  // lower > upper: the next choice always runs
  std::uint32_t upper = 0;

  bool Holds(std::uint32_t increment) const { return increment >= lower && increment <= upper; }
};

// The table for an increment: silence above the poorest table's upper bound,
// else from the poorest table towards richer ones while the increment is
// below the current table's next-richer bound.
TableChoice ChooseTable(const WaveTableSet& set, std::uint32_t increment);

}  // namespace kr::dsp
