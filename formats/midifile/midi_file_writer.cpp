#include "formats/midifile/midi_file_writer.h"

#include <algorithm>

namespace kr::midifile {

namespace {

void BigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int count) {
  for (int shift = (count - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void VariableLength(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0 && n < 5);
  while (n > 1) out.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
  out.push_back(groups[0]);
}

}  // namespace

std::vector<std::uint8_t> TempoEvent(std::uint32_t microsPerQuarter) {
  return {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(microsPerQuarter >> 16),
          static_cast<std::uint8_t>(microsPerQuarter >> 8), static_cast<std::uint8_t>(microsPerQuarter)};
}

std::vector<std::uint8_t> WriteMidiFile(std::uint16_t format, std::uint16_t ticksPerQuarter,
                                        std::vector<WrittenTrack> tracks) {
  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd'};
  BigEndian(out, 6, 4);
  BigEndian(out, format, 2);
  BigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
  BigEndian(out, ticksPerQuarter, 2);
  for (WrittenTrack& track : tracks) {
    std::stable_sort(track.begin(), track.end(),
                     [](const WrittenEvent& a, const WrittenEvent& b) { return a.tick < b.tick; });
    std::vector<std::uint8_t> data;
    std::uint64_t tick = 0;
    for (const WrittenEvent& e : track) {
      // Deltas beyond the format's largest are split with empty text events.
      while (e.tick - tick > 0x0FFFFFFF) {
        VariableLength(data, 0x0FFFFFFF);
        data.insert(data.end(), {0xFF, 0x01, 0x00});
        tick += 0x0FFFFFFF;
      }
      VariableLength(data, static_cast<std::uint32_t>(e.tick - tick));
      data.insert(data.end(), e.bytes.begin(), e.bytes.end());
      tick = e.tick;
    }
    data.insert(data.end(), {0x00, 0xFF, 0x2F, 0x00});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    BigEndian(out, static_cast<std::uint32_t>(data.size()), 4);
    out.insert(out.end(), data.begin(), data.end());
  }
  return out;
}

}  // namespace kr::midifile
