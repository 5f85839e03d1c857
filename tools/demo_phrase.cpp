#include "tools/demo_phrase.h"

#include <array>

#include "formats/midifile/midi_file_writer.h"

namespace kr {

using kr::midifile::WrittenEvent;
using kr::midifile::WrittenTrack;

namespace {

constexpr std::uint16_t kTicksPerQuarter = 480;
constexpr std::uint64_t kBar = 4 * kTicksPerQuarter;
constexpr std::uint64_t kEighth = kTicksPerQuarter / 2;

void Note(WrittenTrack& track, std::uint8_t channel, std::uint64_t at, std::uint64_t length, std::uint8_t key,
          std::uint8_t velocity) {
  track.push_back({at, {static_cast<std::uint8_t>(0x90 | channel), key, velocity}});
  track.push_back({at + length, {static_cast<std::uint8_t>(0x80 | channel), key, 64}});
}

}  // namespace

std::vector<std::uint8_t> DemoPhraseMidiFile() {
  // Root, third and fifth of each bar's chord.
  constexpr std::array<std::array<std::uint8_t, 3>, 4> kChords = {{{48, 51, 55}, {44, 48, 51}, {46, 50, 53}, {48, 51, 55}}};
  constexpr std::array<int, 8> kArpeggio = {0, 1, 2, 3, 2, 1, 2, 0};  // index into the chord's upper tones

  WrittenTrack tempo = {{0, kr::midifile::TempoEvent(500000)}};
  WrittenTrack pad;
  WrittenTrack line;
  for (std::size_t bar = 0; bar < kChords.size(); ++bar) {
    const auto& chord = kChords[bar];
    const std::uint64_t start = bar * kBar;
    const bool last = bar + 1 == kChords.size();
    for (std::uint8_t key : chord) Note(pad, 0, start, last ? kBar : kBar - kEighth / 2, key, 72);
    const std::array<std::uint8_t, 4> upper = {static_cast<std::uint8_t>(chord[0] + 24),
                                               static_cast<std::uint8_t>(chord[1] + 24),
                                               static_cast<std::uint8_t>(chord[2] + 24),
                                               static_cast<std::uint8_t>(chord[0] + 36)};
    if (last) {
      Note(line, 0, start, kBar, upper[3], 90);
      continue;
    }
    for (std::size_t step = 0; step < kArpeggio.size(); ++step)
      Note(line, 0, start + step * kEighth, kEighth - 30, upper[static_cast<std::size_t>(kArpeggio[step])],
           static_cast<std::uint8_t>(step % 2 == 0 ? 100 : 80));
  }
  return kr::midifile::WriteMidiFile(1, kTicksPerQuarter, {tempo, pad, line});
}

}  // namespace kr
