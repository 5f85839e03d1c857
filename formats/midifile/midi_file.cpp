#include "formats/midifile/midi_file.h"

#include "formats/midifile/byte_cursor.h"

namespace kr::midifile {

namespace {

constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaSetTempo = 0x51;

std::string Hex(unsigned value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  text += kDigits[(value >> 4) & 0xF];
  text += kDigits[value & 0xF];
  return text;
}

int DataBytesFor(std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Reads one track chunk's data. Running status is kept per track and is
// cleared by system-exclusive and meta events.
bool ReadTrack(std::span<const std::uint8_t> data, std::size_t fileOffset, int trackNumber, Track& track,
               std::string& error, const ReadOptions& options, int& zeroTempos) {
  ByteCursor in(data);
  std::uint64_t tick = 0;
  std::uint8_t runningStatus = 0;
  std::size_t eventStart = 0;
  const auto fail = [&](const std::string& what) {
    error = "track " + std::to_string(trackNumber) + ", event at byte " + std::to_string(fileOffset + eventStart) +
            ": " + what;
    return false;
  };
  while (!in.AtEnd()) {
    eventStart = in.Position();
    std::uint32_t delta = 0;
    if (!in.VariableLength(delta)) return fail("the delta time is cut off or longer than four bytes");
    tick += delta;
    std::uint8_t first = 0;
    if (!in.Byte(first)) return fail("event missing after its delta time");

    if (first == 0xFF) {
      std::uint8_t type = 0;
      std::uint32_t length = 0;
      if (!in.Byte(type) || !in.VariableLength(length)) return fail("meta event head runs past the end of the track");
      const std::size_t bodyStart = in.Position();
      if (!in.Skip(length)) return fail("meta event runs past the end of the track");
      runningStatus = 0;
      if (type == kMetaEndOfTrack) {
        track.events.push_back({tick, EventKind::EndOfTrack, 0, 0, 0, 0});
        return true;  // bytes after the end mark are not part of the track
      }
      if (type == kMetaSetTempo && length == 3) {
        const std::uint32_t micros = (std::uint32_t{data[bodyStart]} << 16) |
                                     (std::uint32_t{data[bodyStart + 1]} << 8) | data[bodyStart + 2];
        // A tempo of 0 would stop time; such an event is left out (and counted).
        if (micros > 0) {
          track.events.push_back({tick, EventKind::Tempo, 0, 0, 0, micros});
        } else {
          ++zeroTempos;
        }
      }
      continue;
    }
    if (first == 0xF0 || first == 0xF7) {
      std::uint32_t length = 0;
      if (!in.VariableLength(length) || !in.Skip(length))
        return fail("system-exclusive event runs past the end of the track");
      runningStatus = 0;
      continue;
    }
    if (first > 0xF0) {
      if (options.skipStrayBytes) continue;  // the next delta time follows
      return fail("status byte " + Hex(first) + " is not allowed in a MIDI file");
    }

    std::uint8_t status = runningStatus;
    std::uint8_t bytes[2] = {0, 0};
    int have = 0;
    if (first & 0x80) {
      status = first;
      runningStatus = first;
    } else {
      if (status == 0) {
        if (options.skipStrayBytes) continue;
        return fail("data byte " + Hex(first) + " without a running status");
      }
      bytes[have++] = first;
    }
    const int needed = DataBytesFor(status);
    while (have < needed) {
      std::uint8_t b = 0;
      if (!in.Byte(b)) return fail("message " + Hex(status) + " runs past the end of the track");
      if (b & 0x80) return fail("message " + Hex(status) + " has status byte " + Hex(b) + " where a data byte belongs");
      bytes[have++] = b;
    }
    track.events.push_back({tick, EventKind::Channel, status, bytes[0], needed == 2 ? bytes[1] : std::uint8_t{0}, 0});
  }
  return true;  // a track without an end mark ends with its chunk
}

}  // namespace

MidiReadResult ReadMidiFile(std::span<const std::uint8_t> bytes, ReadOptions options) {
  MidiReadResult result;
  ByteCursor in(bytes);
  std::uint32_t id = 0;
  std::uint32_t headerLength = 0;
  if (!in.BigEndian(4, id) || id != 0x4D546864u) {  // "MThd"
    result.error = "not a Standard MIDI File (it does not start with \"MThd\")";
    return result;
  }
  std::uint32_t format = 0;
  std::uint32_t trackCount = 0;
  std::uint32_t division = 0;
  if (!in.BigEndian(4, headerLength) || headerLength < 6 || !in.BigEndian(2, format) ||
      !in.BigEndian(2, trackCount) || !in.BigEndian(2, division) || !in.Skip(headerLength - 6)) {
    result.error = "the header chunk is too short";
    return result;
  }
  if (format > 1) {
    result.error = "format " + std::to_string(format) + " is not supported (only formats 0 and 1)";
    return result;
  }
  if (format == 0 && trackCount != 1) {
    result.error = "a format 0 file must have exactly one track, this one declares " + std::to_string(trackCount);
    return result;
  }
  MidiFile file;
  file.format = static_cast<std::uint16_t>(format);
  if (division & 0x8000u) {
    const int frames = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
    file.division.timeCode = true;
    file.division.framesPerSecond = static_cast<std::uint8_t>(frames);
    file.division.ticksPerFrame = static_cast<std::uint8_t>(division & 0xFF);
    if ((frames != 24 && frames != 25 && frames != 29 && frames != 30) || file.division.ticksPerFrame == 0) {
      result.error = "time-code division with " + std::to_string(frames) + " frames per second and " +
                     std::to_string(file.division.ticksPerFrame) + " ticks per frame is not valid";
      return result;
    }
  } else {
    if (division == 0) {
      result.error = "the division is 0 ticks per quarter note";
      return result;
    }
    file.division.ticksPerQuarter = static_cast<std::uint16_t>(division);
  }

  while (file.tracks.size() < trackCount && !in.AtEnd()) {
    const std::size_t chunkStart = in.Position();
    std::uint32_t chunkId = 0;
    std::uint32_t length = 0;
    if (!in.BigEndian(4, chunkId) || !in.BigEndian(4, length)) {
      result.error = "chunk head at byte " + std::to_string(chunkStart) + " runs past the end of the file";
      return result;
    }
    if (length > in.Remaining()) {
      result.error = "chunk at byte " + std::to_string(chunkStart) + " declares " + std::to_string(length) +
                     " bytes but only " + std::to_string(in.Remaining()) + " follow";
      return result;
    }
    const std::span<const std::uint8_t> data = bytes.subspan(in.Position(), length);
    const std::size_t dataOffset = in.Position();
    in.Skip(length);
    if (chunkId != 0x4D54726Bu) {  // not "MTrk": unknown chunks are skipped
      ++file.unknownChunks;
      continue;
    }
    Track track;
    if (!ReadTrack(data, dataOffset, static_cast<int>(file.tracks.size()) + 1, track, result.error, options,
                   file.zeroTempos))
      return result;
    file.tracks.push_back(std::move(track));
  }
  if (file.tracks.size() < trackCount) {
    result.error = "the header declares " + std::to_string(trackCount) + " tracks but the file holds " +
                   std::to_string(file.tracks.size());
    return result;
  }
  result.file = std::move(file);
  return result;
}

}  // namespace kr::midifile
