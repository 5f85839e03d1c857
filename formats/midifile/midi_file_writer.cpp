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

std::size_t EncodeVariableLength(std::uint32_t value, std::array<std::uint8_t, 4>& out) {
  value = std::min<std::uint32_t>(value, 0x0FFFFFFF);
  std::size_t n = 1;
  while (n < 4 && (value >> (7 * n)) != 0) ++n;
  for (std::size_t i = 0; i < n; ++i) {
    const auto group = static_cast<std::uint8_t>((value >> (7 * (n - 1 - i))) & 0x7F);
    out[i] = i + 1 < n ? static_cast<std::uint8_t>(group | 0x80) : group;
  }
  return n;
}

std::array<std::uint8_t, 14> HeaderChunk(std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6,
          static_cast<std::uint8_t>(format >> 8), static_cast<std::uint8_t>(format),
          static_cast<std::uint8_t>(tracks >> 8), static_cast<std::uint8_t>(tracks),
          static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division)};
}

std::array<std::uint8_t, 8> TrackChunkHead(std::uint32_t length) {
  return {'M', 'T', 'r', 'k', static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
          static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
}

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
