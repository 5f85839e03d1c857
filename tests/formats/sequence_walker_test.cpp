// The MIDI Player's schedule: clocks, tempo arithmetic, the end, loops.
#include <gtest/gtest.h>

#include <cmath>

#include "formats/midifile/midi_file.h"
#include "formats/midifile/midi_file_writer.h"
#include "formats/midifile/sequence_walker.h"

using namespace kr;

using namespace kr::midifile;

namespace {

MidiFile Read(std::uint16_t division, std::vector<WrittenTrack> tracks) {
  auto r = ReadMidiFile(WriteMidiFile(1, division, std::move(tracks)));
  EXPECT_TRUE(r.file) << r.error;
  return *r.file;
}

struct Sent {
  std::int64_t time;
  std::uint32_t word;
  bool operator==(const Sent&) const = default;
};

// Runs the walker as the module does, from time 0, until `until` or its end.
std::vector<Sent> Play(SequenceWalker& w, std::int64_t until) {
  std::vector<Sent> out;
  std::int64_t now = 0;
  while (now < until) {
    const std::int64_t wait = w.Step([&](std::uint32_t word) { out.push_back({now, word}); });
    if (wait < 0) break;
    EXPECT_GE(wait, 1);
    now += wait;
  }
  return out;
}

std::vector<std::int64_t> TimesOf(const std::vector<Sent>& s, std::uint32_t word) {
  std::vector<std::int64_t> t;
  for (const Sent& x : s)
    if (x.word == word) t.push_back(x.time);
  return t;
}

}  // namespace

TEST(SequenceWalker, ClocksAtNinetySixTicksFallNineHundredEighteenOrNineteenApart) {
  SequenceWalker w(Read(96, {{{0, {0x90, 60, 100}}, {960, {0x80, 60, 0}}}}), 44100.0, false, false);
  w.SetBpm(120.0);
  EXPECT_EQ(w.ClockInterval(), 4);
  EXPECT_DOUBLE_EQ(w.SamplesPerTick(), 229.6875);
  const std::vector<Sent> sent = Play(w, 1 << 30);
  const auto clocks = TimesOf(sent, 0xF8);
  ASSERT_GE(clocks.size(), 240u);
  for (std::size_t i = 1; i < clocks.size(); ++i) {
    const std::int64_t gap = clocks[i] - clocks[i - 1];
    EXPECT_TRUE(gap == 918 || gap == 919) << i;
    EXPECT_EQ(clocks[i], static_cast<std::int64_t>(std::floor(i * 918.75))) << "no drift";
  }
  // At tick 0: the clock, then the note; the note off at 960 ticks = 220500 samples.
  EXPECT_EQ(sent[0], (Sent{0, 0xF8}));
  EXPECT_EQ(sent[1], (Sent{0, 0x643C90}));
  EXPECT_EQ(TimesOf(sent, 0x003C80), std::vector<std::int64_t>{220500});
  EXPECT_EQ(sent.back(), (Sent{220500, 0xFC})) << "the stop after the last event, once";
  EXPECT_TRUE(w.Ended());
}

TEST(SequenceWalker, TempoIsAWholeNumberOfBeatsHeldToTenThroughThreeHundred) {
  EXPECT_EQ(SequenceWalker::BpmOf(500000), 120.0);
  EXPECT_EQ(SequenceWalker::BpmOf(700000), 85.0) << "truncated, not 85.71";
  const auto spt = [](std::uint32_t micros, bool ignore) {
    SequenceWalker w(Read(480, {{{0, TempoEvent(micros)}, {480, {0x90, 1, 1}}}}), 48000.0, ignore, false);
    w.SetBpm(100.0);
    Play(w, 1);
    return w.SamplesPerTick();
  };
  EXPECT_DOUBLE_EQ(spt(700000, false), 48000.0 / (85 * 8.0));
  EXPECT_DOUBLE_EQ(spt(60000000, false), 48000.0 / (10 * 8.0)) << "1 bpm plays at 10";
  EXPECT_DOUBLE_EQ(spt(100000, false), 48000.0 / (300 * 8.0)) << "600 bpm plays at 300";
  EXPECT_DOUBLE_EQ(spt(700000, true), 48000.0 / (100 * 8.0)) << "ignored: the input's tempo";
}

TEST(SequenceWalker, ALoopRestartSendsOneClock) {
  // 48 ticks a quarter: clocks every 2 ticks; the sequence ends at tick 96,
  // a clock tick, and again at tick 95 (not one).
  for (std::uint64_t end : {96u, 95u}) {
    SequenceWalker w(Read(48, {{{0, {0x90, 60, 1}}, {end, {0x80, 60, 0}}}}), 44100.0, false, true);
    const std::vector<Sent> sent = Play(w, 44100 * 3);
    const auto notes = TimesOf(sent, 0x013C90);
    ASSERT_GE(notes.size(), 3u);
    for (std::size_t i = 1; i < notes.size(); ++i) {
      int clocksAtRestart = 0;
      for (const Sent& s : sent) clocksAtRestart += s.time == notes[i] && s.word == 0xF8;
      EXPECT_EQ(clocksAtRestart, 1) << end << " restart " << i;
    }
    EXPECT_FALSE(w.Ended());
  }
}

TEST(SequenceWalker, NothingAfterTickZeroLoopsOncePerClockNotForever) {
  SequenceWalker w(Read(96, {{{0, {0x90, 60, 1}}}}), 44100.0, false, true);
  const std::vector<Sent> sent = Play(w, 2000);
  EXPECT_EQ(TimesOf(sent, 0x013C90), (std::vector<std::int64_t>{0, 918, 1837}));
}

TEST(SequenceWalker, TimeCodeFilesHaveAFixedTickLength) {
  const std::vector<std::uint8_t> bytes = [] {
    auto b = WriteMidiFile(0, 96, {{{0, {0x90, 60, 1}}, {1000, {0x80, 60, 0}}}});
    b[12] = 0xE7;  // 25 frames a second, 40 ticks a frame: milliseconds
    b[13] = 0x28;
    return b;
  }();
  auto read = ReadMidiFile(bytes);
  ASSERT_TRUE(read.file);
  SequenceWalker w(*read.file, 44100.0, false, false);
  w.SetBpm(60.0);  // no effect
  const std::vector<Sent> sent = Play(w, 1 << 30);
  EXPECT_EQ(TimesOf(sent, 0x003C80), std::vector<std::int64_t>{44100}) << "1000 ms";
}

TEST(SequenceWalker, StrayBytesAreSteppedOverWhenAsked) {
  // delta 0, data byte 0x40 without a running status; delta 0, 0xF4; delta 0, note on.
  std::vector<std::uint8_t> track = {0x00, 0x40, 0x00, 0xF4, 0x00, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00};
  auto bytes = WriteMidiFile(0, 96, {{}});
  bytes.resize(14);
  const auto head = TrackChunkHead(static_cast<std::uint32_t>(track.size()));
  bytes.insert(bytes.end(), head.begin(), head.end());
  bytes.insert(bytes.end(), track.begin(), track.end());
  EXPECT_FALSE(ReadMidiFile(bytes).file);
  ReadOptions lenient;
  lenient.skipStrayBytes = true;
  const auto read = ReadMidiFile(bytes, lenient);
  ASSERT_TRUE(read.file) << read.error;
  ASSERT_EQ(read.file->tracks[0].events.size(), 2u);
  EXPECT_EQ(read.file->tracks[0].events[0].status, 0x90);
}
