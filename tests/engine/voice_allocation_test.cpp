// Which voice a note takes: the first free voice, re-strikes of a sounding
// note, stealing, the sustain pedal and all-notes-off.
#include <gtest/gtest.h>

#include "engine/note_events.h"
#include "modules/midi/notesource.h"
#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct Entry {
  int voice;
  int type;
  int time;
  int note;
  int velocity;
  bool operator==(const Entry&) const = default;
};

// A note source that logs the voice events of every copy in one list.
class LoggingNoteSource : public ug_notesource {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<LoggingNoteSource>(); }
  std::unique_ptr<ug_base> Clone() override {
    auto copy = ug_notesource::Clone();
    static_cast<LoggingNoteSource*>(copy.get())->log = log;
    return copy;
  }
  void HandleEvent(ug_event* e) override {
    if (e->type >= UET_NOTE_ON && e->type <= UET_NOTE_RESTRIKE)
      log->push_back({ownVoice != nullptr ? ownVoice->number : -1, e->type, e->time, e->extra, RefInt(e->ref)});
    ug_notesource::HandleEvent(e);
  }
  std::vector<Entry>* log = nullptr;
};

struct AllocRig : VoiceRig {
  AllocRig(int polyphony) : VoiceRig(64, polyphony) {
    source = Add<LoggingNoteSource>();
    source->log = &log;
    Connect(feeder->GetPlug(0), source->GetPlug(0));
    Build();
  }
  // The voice now holding a note (-1 if none).
  int VoiceOf(int note) const {
    for (const auto& v : root.voices)
      if (v->note == note && v->Held()) return v->number;
    return -1;
  }
  LoggingNoteSource* source;
  std::vector<Entry> log;
};

}  // namespace

TEST(VoiceAllocation, PolyphonyFourFiveOverlappingNotesStealTheOldestNoteOn) {
  AllocRig rig(4);
  ASSERT_EQ(rig.root.VoiceCount(), 4) << "voices are made when the graph is built";
  for (int i = 0; i < 4; ++i) rig.Note(10 + 10 * i, 60 + i);
  rig.Render(64);
  const int first = rig.VoiceOf(60);
  const int second = rig.VoiceOf(61);
  EXPECT_EQ(first, 0) << "voice 0 is taken while it has never played";
  EXPECT_EQ(second, 3) << "then the idle voice with the highest index";
  for (int n = 60; n < 64; ++n) EXPECT_GE(rig.VoiceOf(n), 0);
  rig.Note(100, 70);
  rig.Render(64);
  EXPECT_EQ(rig.VoiceOf(70), first) << "the fifth note steals the oldest note on";
  rig.Note(130, 71);
  rig.Render(64);
  EXPECT_EQ(rig.VoiceOf(71), second) << "the sixth steals the next oldest";
  EXPECT_EQ(rig.VoiceOf(60), -1);
  EXPECT_EQ(rig.VoiceOf(61), -1);
}

TEST(VoiceAllocation, ReleasedVoicesAreReusedOldestReleaseFirst) {
  AllocRig rig(3);
  rig.Note(0, 60);
  rig.Note(1, 61);
  rig.Note(2, 62);
  rig.NoteOff(20, 61);
  rig.NoteOff(30, 60);
  rig.Note(40, 70);
  rig.Render(64);
  EXPECT_EQ(rig.log.back(), (Entry{2, UET_NOTE_ON, 40, 70, 100})) << "61's voice was released longest ago";
  EXPECT_EQ(rig.VoiceOf(70), 2);
}

TEST(VoiceAllocation, SameNoteTwiceRestrikesTheSoundingVoiceFirst) {
  AllocRig rig(4);
  rig.Note(0, 60, 90);
  rig.Note(10, 60, 80);
  rig.Render(64);
  ASSERT_EQ(rig.log.size(), 3u);
  EXPECT_EQ(rig.log[0], (Entry{0, UET_NOTE_ON, 0, 60, 90}));
  EXPECT_EQ(rig.log[1], (Entry{0, UET_NOTE_RESTRIKE, 10, 60, 64})) << "re-struck with velocity 64";
  EXPECT_EQ(rig.log[2].type, UET_NOTE_ON);
  EXPECT_NE(rig.log[2].voice, 0);
  EXPECT_TRUE(rig.root.voices[0]->restruck);
}

TEST(VoiceAllocation, AllHeldAndTheSameNoteAgainReusesTheRestruckVoice) {
  AllocRig rig(2);
  rig.Note(0, 60);
  rig.Note(5, 64);
  rig.Note(10, 64);
  rig.Render(64);
  const Entry last = rig.log.back();
  EXPECT_EQ(last.type, UET_NOTE_ON);
  EXPECT_EQ(last.voice, rig.log[2].voice) << "the re-struck voice has the smallest release time";
  EXPECT_EQ(rig.log[2].type, UET_NOTE_RESTRIKE);
  EXPECT_EQ(rig.VoiceOf(60), 0) << "the older note keeps sounding";
}

TEST(VoiceAllocation, PolyphonyOneSendsEveryNoteToVoiceZero) {
  AllocRig rig(1);
  EXPECT_EQ(rig.root.VoiceCount(), 1);
  rig.Note(0, 60);
  rig.Note(5, 62);
  rig.Note(9, 64);
  rig.Render(64);
  for (const Entry& e : rig.log) EXPECT_EQ(e.voice, 0);
}

TEST(VoiceAllocation, PedalHoldsReleasedKeysAndPedalUpReleasesWithVelocity64) {
  AllocRig rig(4);
  rig.Midi(0, 0xB0u | 64u << 8 | 100u << 16);
  rig.Note(1, 60);
  rig.Note(2, 62);
  rig.NoteOff(10, 60);
  rig.Render(64);
  EXPECT_TRUE(rig.root.voices[0]->pedalHeld);
  EXPECT_EQ(rig.root.FindHeld(0, 60), -1) << "a pedal-held voice is no longer found as held";
  EXPECT_EQ(rig.log.size(), 2u) << "no note off while the pedal is down";
  rig.Midi(100, 0xB0u | 64u << 8);
  rig.Render(64);
  ASSERT_EQ(rig.log.size(), 3u);
  EXPECT_EQ(rig.log[2], (Entry{0, UET_NOTE_OFF, 100, 60, 0}));
  EXPECT_EQ(rig.root.voices[0]->releaseTime, 100);
  EXPECT_EQ(rig.VoiceOf(62), 3) << "the key still down keeps sounding";
}

TEST(VoiceAllocation, AllNotesOffReleasesEveryVoice) {
  AllocRig rig(4);
  rig.Note(0, 60);
  rig.Note(1, 62);
  rig.Note(2, 64, 100, 1);
  rig.Midi(20, 0xB0u | 123u << 8);
  rig.Render(64);
  int offs = 0;
  for (const Entry& e : rig.log)
    if (e.type == UET_NOTE_OFF) {
      ++offs;
      EXPECT_EQ(e.note, -1);
      EXPECT_EQ(e.time, 20);
    }
  EXPECT_EQ(offs, 4) << "every voice, whatever its channel or state";
  EXPECT_EQ(rig.root.FindHeld(1, 64), -1) << "channel 2's note is released too";
  for (const auto& voice : rig.root.voices) EXPECT_EQ(voice->releaseTime, 20);
}

TEST(VoiceAllocation, RequestBeyondTheLastVoicePlaysVoiceZero) {
  AllocRig rig(2);
  EXPECT_EQ(rig.root.NoteOn(5, 0, 60, 100, 7), 0);
  EXPECT_EQ(rig.root.NoteOn(6, 0, 61, 100, 1), 1);
  EXPECT_EQ(rig.root.NoteOff(7, 0, 99, 0), -1);
}

TEST(VoiceAllocation, SecondNoteSourceIsReportedAndTheFirstKeepsTheVoice) {
  VoiceRig rig(64, 2);
  auto* first = rig.Add<LoggingNoteSource>();
  auto* second = rig.Add<LoggingNoteSource>();
  second->title = "Second";
  rig.root.MarkVoiceModules();
  EXPECT_EQ(rig.root.FirstVoice().noteReceiver, first);
  ASSERT_EQ(rig.host.boxes.size(), 1u);
  EXPECT_EQ(rig.host.boxes[0],
            "Second : You have several 'MidiToCv', 'Soundfont Player', or 'Drum Trigger' modules together. Put each "
            "in it's own container.");
}

TEST(VoiceAllocation, ProgramChangeReachesEveryOpenVoiceAtTheEndOfTheSubBlock) {
  struct Programs : ug_base {
    std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Programs>(); }
    void HandleEvent(ug_event* e) override {
      if (e->type == UET_PROG_CHANGE) got.emplace_back(e->time, e->value);
      ug_base::HandleEvent(e);
    }
    std::vector<std::pair<int, int>> got;
  };
  AllocRig rig(3);
  auto* programs = rig.Add<Programs>();
  programs->Open();
  rig.Render(64);
  rig.root.AddEvent(rig.root.NewEvent(70, UET_PROG_CHANGE, 5), true);
  rig.Render(128);
  ASSERT_EQ(programs->got.size(), 1u);
  EXPECT_EQ(programs->got[0], (std::pair<int, int>{128, 5}));
}
