// Hand-made Standard MIDI File bytes for the MIDI file tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

using namespace kr;

namespace krtest {

using Bytes = std::vector<std::uint8_t>;

inline void AppendBigEndian(Bytes& out, std::uint32_t value, int count) {
  for (int shift = (count - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline Bytes MidiChunk(const char* id, const Bytes& data) {
  Bytes out(id, id + 4);
  AppendBigEndian(out, static_cast<std::uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

inline Bytes Header(std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
  Bytes data;
  AppendBigEndian(data, format, 2);
  AppendBigEndian(data, tracks, 2);
  AppendBigEndian(data, division, 2);
  return MidiChunk("MThd", data);
}

inline Bytes Smf(std::uint16_t format, std::uint16_t division, std::initializer_list<Bytes> tracks) {
  Bytes out = Header(format, static_cast<std::uint16_t>(tracks.size()), division);
  for (const Bytes& t : tracks) {
    const Bytes chunk = MidiChunk("MTrk", t);
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  return out;
}

}  // namespace krtest
