// The MIDI file reader: formats 0 and 1, running status, meta and
// system-exclusive events, the tempo map, and damaged files.
#include <gtest/gtest.h>

#include "formats/midifile/merged_events.h"
#include "formats/midifile/midi_file.h"
#include "formats/midifile/midi_file_writer.h"
#include "formats/midifile/tempo_map.h"
#include "midi_bytes.h"

using namespace kr;

using namespace kr::midifile;
using namespace krtest;

namespace {

MidiFile Read(const Bytes& bytes) {
  MidiReadResult r = ReadMidiFile(bytes);
  EXPECT_TRUE(r.file.has_value()) << r.error;
  return r.file ? *r.file : MidiFile{};
}

std::string ErrorOf(const Bytes& bytes) {
  MidiReadResult r = ReadMidiFile(bytes);
  EXPECT_FALSE(r.file.has_value());
  return r.error;
}

TEST(MidiFileReader, FormatZeroWithRunningStatusMetaAndSysex) {
  const Bytes bytes = Smf(0, 96, {{
      0x00, 0xFF, 0x03, 0x04, 'L', 'e', 'a', 'd',  // track name: skipped
      0x00, 0x90, 60, 100,                         // note on
      0x10, 64, 90,                                // running status: another note on
      0x08, 0xC5, 0x07,                            // program change: one data byte
      0x00, 0x09,                                  // running status program change
      0x20, 0xF0, 0x03, 0x7E, 0x01, 0xF7,          // system exclusive: skipped, clears running status
      0x00, 0x80, 60, 0x40,
      0x81, 0x00, 0xE0, 0x00, 0x40,                // delta 128 (two-byte variable length), pitch bend
      0x00, 0xFF, 0x2F, 0x00,
      0x00, 0x90, 1, 1,                            // after the end mark: not part of the track
  }});
  const MidiFile f = Read(bytes);
  EXPECT_EQ(f.format, 0);
  EXPECT_EQ(f.division.ticksPerQuarter, 96);
  ASSERT_EQ(f.tracks.size(), 1u);
  const auto& e = f.tracks[0].events;
  ASSERT_EQ(e.size(), 7u);
  EXPECT_EQ(e[0].tick, 0u);
  EXPECT_EQ(e[0].status, 0x90);
  EXPECT_EQ(e[1].tick, 16u);
  EXPECT_EQ(e[1].status, 0x90);
  EXPECT_EQ(e[1].data1, 64);
  EXPECT_EQ(e[1].data2, 90);
  EXPECT_EQ(e[2].tick, 24u);
  EXPECT_EQ(e[2].status, 0xC5);
  EXPECT_EQ(e[2].data1, 7);
  EXPECT_EQ(e[2].data2, 0);
  EXPECT_EQ(e[3].tick, 24u);
  EXPECT_EQ(e[3].status, 0xC5);
  EXPECT_EQ(e[3].data1, 9);
  EXPECT_EQ(e[4].tick, 56u);
  EXPECT_EQ(e[4].status, 0x80);
  EXPECT_EQ(e[5].tick, 184u);
  EXPECT_EQ(e[5].status, 0xE0);
  EXPECT_EQ(e[5].data2, 0x40);
  EXPECT_EQ(e[6].kind, EventKind::EndOfTrack);
  EXPECT_EQ(e[6].tick, 184u);
  EXPECT_EQ(EndTick(f), 184u);
}

TEST(MidiFileReader, RunningStatusIsPerTrackAndClearedByMeta) {
  // A data byte right after a meta event has no status to run on.
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x00, 61, 100}})),
            "track 1, event at byte 30: data byte 0x3D without a running status");
  // The second track does not inherit the first one's status.
  EXPECT_EQ(ErrorOf(Smf(1, 96, {{0x00, 0x90, 60, 100}, {0x00, 61, 100}})),
            "track 2, event at byte 34: data byte 0x3D without a running status");
}

TEST(MidiFileReader, FormatOneMergesTracksByTimeKeepingTrackOrderAtTies) {
  const Bytes bytes = Smf(1, 480, {
      {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40},
      {0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0x00, 0x90, 62, 100},
      {0x00, 0x91, 48, 80, 0x83, 0x60, 0x81, 48, 0},
  });
  const MidiFile f = Read(bytes);
  ASSERT_EQ(f.tracks.size(), 3u);
  const auto merged = MergeChannelMessages(f);
  ASSERT_EQ(merged.size(), 5u);
  EXPECT_EQ(merged[0].status, 0x90);
  EXPECT_EQ(merged[1].status, 0x91);
  EXPECT_EQ(merged[2].tick, 480u);
  EXPECT_EQ(merged[2].status, 0x80);
  EXPECT_EQ(merged[3].status, 0x90);
  EXPECT_EQ(merged[3].data1, 62);
  EXPECT_EQ(merged[4].status, 0x81);

  // 500000 us a quarter for the first quarter, then 1000000 (60 bpm).
  const TempoMap tempo(f);
  EXPECT_DOUBLE_EQ(tempo.SecondsAt(240), 0.25);
  EXPECT_DOUBLE_EQ(tempo.SecondsAt(480), 0.5);
  EXPECT_DOUBLE_EQ(tempo.SecondsAt(960), 1.5);
  EXPECT_DOUBLE_EQ(tempo.BpmAt(0.49), 120.0);
  EXPECT_DOUBLE_EQ(tempo.BpmAt(0.5), 60.0);
  EXPECT_DOUBLE_EQ(tempo.QuartersAt(0.25), 0.5);
  EXPECT_DOUBLE_EQ(tempo.QuartersAt(1.5), 2.0);
}

TEST(MidiFileReader, TempoDetails) {
  // No tempo event: 120 bpm. A later change at the same tick wins; tempo 0 is ignored.
  const MidiFile plain = Read(Smf(0, 100, {{0x64, 0x90, 60, 1}}));
  EXPECT_DOUBLE_EQ(TempoMap(plain).SecondsAt(100), 0.5);
  const MidiFile twice = Read(Smf(0, 100, {{0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00,  // tempo 0: ignored
                                            0x00, 0xFF, 0x51, 0x03, 0x03, 0x0D, 0x40,  // 200000 us
                                            0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}}));  // 1000000 us wins
  EXPECT_DOUBLE_EQ(TempoMap(twice).SecondsAt(100), 1.0);
  // Time code: 25 frames of 40 ticks make a millisecond tick.
  const MidiFile smpte = Read(Smf(0, 0xE728, {{0x00, 0x90, 60, 1}}));
  EXPECT_TRUE(smpte.division.timeCode);
  EXPECT_EQ(smpte.division.framesPerSecond, 25);
  EXPECT_EQ(smpte.division.ticksPerFrame, 40);
  EXPECT_DOUBLE_EQ(TempoMap(smpte).SecondsAt(1500), 1.5);
}

TEST(MidiFileReader, UnknownChunksAreSkipped) {
  Bytes bytes = Header(1, 1, 96);
  const Bytes odd = MidiChunk("XFIH", {1, 2, 3});
  const Bytes track = MidiChunk("MTrk", {0x00, 0x90, 60, 100});
  bytes.insert(bytes.end(), odd.begin(), odd.end());
  bytes.insert(bytes.end(), track.begin(), track.end());
  const MidiFile f = Read(bytes);
  ASSERT_EQ(f.tracks.size(), 1u);
  EXPECT_EQ(f.tracks[0].events.size(), 1u);
}

TEST(MidiFileReader, DamagedFilesGiveErrors) {
  EXPECT_EQ(ErrorOf({}), "not a Standard MIDI File (it does not start with \"MThd\")");
  EXPECT_EQ(ErrorOf({'R', 'I', 'F', 'F', 0, 0, 0, 0}), "not a Standard MIDI File (it does not start with \"MThd\")");
  EXPECT_EQ(ErrorOf({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}), "the header chunk is too short");
  EXPECT_EQ(ErrorOf(Smf(2, 96, {{}})), "format 2 is not supported (only formats 0 and 1)");
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{}, {}})), "a format 0 file must have exactly one track, this one declares 2");
  EXPECT_EQ(ErrorOf(Smf(1, 0, {{}})), "the division is 0 ticks per quarter note");
  EXPECT_EQ(ErrorOf(Smf(1, 0xE300, {{}})),
            "time-code division with 29 frames per second and 0 ticks per frame is not valid");
  EXPECT_EQ(ErrorOf(Header(1, 2, 96)), "the header declares 2 tracks but the file holds 0");

  Bytes truncated = Smf(0, 96, {{0x00, 0x90, 60, 100}});
  truncated.pop_back();
  EXPECT_EQ(ErrorOf(truncated), "chunk at byte 14 declares 4 bytes but only 3 follow");
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{0x00, 0x90, 60}})), "track 1, event at byte 22: message 0x90 runs past the end of the track");
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{0x00, 0x90, 60, 0x80}})),
            "track 1, event at byte 22: message 0x90 has status byte 0x80 where a data byte belongs");
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{0x80, 0x80, 0x80, 0x80, 0x00}})),
            "track 1, event at byte 22: the delta time is cut off or longer than four bytes");
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{0x00}})), "track 1, event at byte 22: event missing after its delta time");
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{0x00, 0xFF, 0x51, 0x05, 1, 2}})),
            "track 1, event at byte 22: meta event runs past the end of the track");
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{0x00, 0xF0, 0x7F}})),
            "track 1, event at byte 22: system-exclusive event runs past the end of the track");
  EXPECT_EQ(ErrorOf(Smf(0, 96, {{0x00, 0xF8}})), "track 1, event at byte 22: status byte 0xF8 is not allowed in a MIDI file");
}

TEST(MidiFileWriter, RoundTripsThroughTheReader) {
  const Bytes bytes = WriteMidiFile(1, 240,
                                    {{{0, TempoEvent(400000)}},
                                     {{480, {0x80, 60, 0}}, {0, {0x90, 60, 100}}, {0x20000000, {0xC1, 5}}}});
  const MidiFile f = Read(bytes);
  ASSERT_EQ(f.tracks.size(), 2u);
  EXPECT_EQ(f.division.ticksPerQuarter, 240);
  EXPECT_EQ(f.tracks[0].events[0].kind, EventKind::Tempo);
  EXPECT_EQ(f.tracks[0].events[0].microsPerQuarter, 400000u);
  const auto merged = MergeChannelMessages(f);
  ASSERT_EQ(merged.size(), 3u);
  EXPECT_EQ(merged[0].status, 0x90);
  EXPECT_EQ(merged[1].tick, 480u);
  EXPECT_EQ(merged[2].tick, 0x20000000u);  // longer than one delta can say
  EXPECT_EQ(merged[2].status, 0xC1);
  EXPECT_EQ(merged[2].data1, 5);
  EXPECT_EQ(EndTick(f), 0x20000000u);
}

}  // namespace

namespace {

TEST(TempoMapSamples, PositionsAreExactWholeNumbersWithoutDrift) {
  // 96 ticks a quarter at 120 bpm: 229.6875 samples a tick at 44100 Hz.
  const MidiFile f = Read(WriteMidiFile(0, 96, {{{0, TempoEvent(500000)}, {96 * 4, TempoEvent(700000)}}}));
  const TempoMap tempo(f);
  EXPECT_EQ(tempo.SampleAt(200, 44100), 45938);  // 45937.5 rounds up
  EXPECT_EQ(tempo.SampleAt(1, 44100), 230);
  EXPECT_EQ(tempo.SampleAt(384, 44100), 88200);
  // After the change, 700000 us a quarter: 1 quarter later is 0.7 s on.
  EXPECT_EQ(tempo.SampleAt(480, 44100), 88200 + 30870);
  // Ten thousand quarters later, still exact.
  EXPECT_EQ(tempo.SampleAt(384 + 96ull * 10000, 48000), 96000 + 10000ull * 33600);
  // Time code at 29.97 frames of 80 ticks: 30 frames last 1.001 s.
  const MidiFile smpte = Read(Smf(0, 0xE350, {{0x00, 0x90, 60, 1}}));
  EXPECT_EQ(TempoMap(smpte).SampleAt(2400, 30000), 30030);
}

}  // namespace
