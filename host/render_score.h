// What a render plays: channel messages at sample positions, where the
// music ends, and the tempo map a host reports as time information.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/midifile/midi_file.h"
#include "formats/midifile/tempo_map.h"

namespace kr {

struct ScoreEvent {
  std::int64_t sample = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

struct Score {
  std::vector<ScoreEvent> events;  // by sample; events at one sample keep their order
  std::int64_t endSample = 0;      // the last event or end-of-track mark
  std::optional<kr::midifile::TempoMap> tempo;  // none: a steady 120 bpm

  double BpmAt(double seconds) const;
  double QuartersAt(double seconds) const;
};

// Places every channel message of the file at the sample nearest to its time.
Score ScoreFromMidi(const kr::midifile::MidiFile& file, double sampleRate);

}  // namespace kr
