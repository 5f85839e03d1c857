// libFuzzer target for the MIDI file reader: any bytes must be refused or
// read without reading outside them, and whatever is read must survive the
// tempo map and a write-and-read round trip with the same messages.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/midifile/merged_events.h"
#include "formats/midifile/midi_file.h"
#include "formats/midifile/midi_file_writer.h"
#include "formats/midifile/tempo_map.h"

using namespace kr;

using namespace kr::midifile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const MidiReadResult read = ReadMidiFile(std::span<const std::uint8_t>(data, size));
  if (!read.file) {
    if (read.error.empty()) __builtin_trap();
    return 0;
  }
  const MidiFile& file = *read.file;
  const TempoMap tempo(file);
  const auto merged = MergeChannelMessages(file);
  std::int64_t previous = 0;
  for (const TimedMessage& m : merged) {
    if (m.status < 0x80 || m.status > 0xEF) __builtin_trap();
    const std::int64_t sample = tempo.SampleAt(m.tick, 44100);
    if (sample < previous) __builtin_trap();  // time never runs backwards
    previous = sample;
    (void)tempo.QuartersAt(tempo.SecondsAt(m.tick));
  }
  if (file.division.timeCode || EndTick(file) > 0xFFFFFFFFu) return 0;
  WrittenTrack track;
  for (const TimedMessage& m : merged) {
    WrittenEvent e{m.tick, {m.status, m.data1}};
    if ((m.status & 0xF0) != 0xC0 && (m.status & 0xF0) != 0xD0) e.bytes.push_back(m.data2);
    track.push_back(std::move(e));
  }
  const auto again = ReadMidiFile(WriteMidiFile(0, file.division.ticksPerQuarter, {track}));
  if (!again.file || MergeChannelMessages(*again.file).size() != merged.size()) __builtin_trap();
  return 0;
}
