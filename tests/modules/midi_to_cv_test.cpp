// "Midi to CV": pitch voltages, the gate's fixed delay after the note, mono
// mode with its priorities, retrigger, portamento and pitch bend.
#include <gtest/gtest.h>

#include <cmath>

#include "modules/midi/midi_to_cv.h"
#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;

namespace {

enum { kGate = 3, kPitch = 4, kVelocity = 5, kAftertouch = 6, kMono = 7, kRetrigger = 8, kPortamento = 9,
       kPriority = 10 };

// feeder -> Midi to CV; Gate, Pitch and Velocity each through a per-voice
// follower into a tap that hears the sum of the voices.
struct NoteRig : VoiceRig {
  NoteRig(int hostBlock, int polyphony) : VoiceRig(hostBlock, polyphony) {
    cv = static_cast<ug_midi_to_cv*>(AddNamed("Midi to CV"));
    for (int i = 0; i < 3; ++i) {
      follow[i] = Add<Follower>();
      tap[i] = Add<VoiceTap>();
      Connect(cv->GetPlug(kGate + i), follow[i]->GetPlug(0));
      Connect(follow[i]->GetPlug(1), tap[i]->GetPlug(0));
    }
    Connect(feeder->GetPlug(0), cv->GetPlug(0));
  }
  void Set(int plug, const char* text) { cv->GetPlug(plug)->ApplyDefault(text); }
  const std::vector<float>& Gate() const { return tap[0]->samples; }
  const std::vector<float>& Pitch() const { return tap[1]->samples; }
  const std::vector<float>& Velocity() const { return tap[2]->samples; }

  ug_midi_to_cv* cv;
  Follower* follow[3];
  VoiceTap* tap[3];
};

}  // namespace

TEST(MidiToCv, NotePitchInSampleUnits) {
  EXPECT_FLOAT_EQ(ug_midi_to_cv::NotePitch(69), 0.5f);
  EXPECT_FLOAT_EQ(ug_midi_to_cv::NotePitch(81), 0.6f);
  EXPECT_FLOAT_EQ(ug_midi_to_cv::NotePitch(60), 0.425f);
  EXPECT_NEAR(ug_midi_to_cv::GlideSeconds(0.0f), 0.0025, 0.0001);
  EXPECT_NEAR(ug_midi_to_cv::GlideSeconds(0.5f), 0.079, 0.001);
  EXPECT_NEAR(ug_midi_to_cv::GlideSeconds(1.0f), 2.52, 0.01);
}

TEST(MidiToCv, Note69GivesFiveVoltsAndTheGateRisesThreeSamplesLater) {
  for (int block : {1, 7, 64, 100, 4096}) {
    for (int at : {0, 5, 62, 63, 64, 127, 130, 1001}) {
      NoteRig rig(block, 2);
      rig.Build();
      rig.Note(at, 69, 127);
      rig.Render(at + 200);
      SCOPED_TRACE(testing::Message() << "block " << block << " note at " << at);
      ASSERT_EQ(rig.Gate().size(), static_cast<std::size_t>(at + 200));
      EXPECT_FLOAT_EQ(rig.Pitch()[static_cast<std::size_t>(at)], 0.5f) << "5 V from the note's own sample";
      if (at > 0) {
        EXPECT_EQ(rig.Pitch()[static_cast<std::size_t>(at - 1)], 0.0f);
      }
      EXPECT_EQ(rig.Gate()[static_cast<std::size_t>(at + 2)], 0.0f);
      EXPECT_EQ(rig.Gate()[static_cast<std::size_t>(at + 3)], 1.0f) << "10 V three samples after the note";
      EXPECT_EQ(rig.Gate().back(), 1.0f);
      EXPECT_FLOAT_EQ(rig.Velocity()[static_cast<std::size_t>(at)], 1.0f) << "poly velocity is set at once";
    }
  }
}

TEST(MidiToCv, NoteOffDropsTheGateAtOnce) {
  NoteRig rig(64, 1);
  rig.Build();
  rig.Note(10, 60);
  rig.NoteOff(100, 60);
  rig.Render(300);
  EXPECT_EQ(rig.Gate()[99], 1.0f);
  EXPECT_EQ(rig.Gate()[100], 0.0f);
  EXPECT_FLOAT_EQ(rig.Pitch()[299], 0.425f) << "the pitch stays after release";
}

TEST(MidiToCv, MonoLastPriorityReplaysHeldNotes) {
  NoteRig rig(64, 4);
  rig.Set(kMono, "1");
  rig.Build();
  rig.Note(0, 60);
  rig.Note(100, 64);
  rig.Note(200, 67);
  rig.NoteOff(300, 67);
  rig.NoteOff(400, 64);
  rig.NoteOff(500, 60);
  rig.Render(700);
  EXPECT_FLOAT_EQ(rig.Pitch()[250], ug_midi_to_cv::NotePitch(67));
  EXPECT_FLOAT_EQ(rig.Pitch()[350], ug_midi_to_cv::NotePitch(64));
  EXPECT_FLOAT_EQ(rig.Pitch()[450], ug_midi_to_cv::NotePitch(60));
  EXPECT_EQ(rig.Gate()[499], 1.0f);
  EXPECT_EQ(rig.Gate()[500], 0.0f) << "the last key up releases";
  EXPECT_EQ(rig.root.voices[0]->note, 60) << "mono plays voice 0 only";
  EXPECT_FALSE(rig.root.voices[1]->played);
}

TEST(MidiToCv, MonoRetriggerDropsTheGateForThreeSamplesOnlyWhenOn) {
  for (const char* retrigger : {"1", "0"}) {
    NoteRig rig(64, 1);
    rig.Set(kMono, "1");
    rig.Set(kRetrigger, retrigger);
    rig.Build();
    rig.Note(0, 60);
    rig.Note(100, 62);
    rig.Render(200);
    const bool on = retrigger[0] == '1';
    EXPECT_EQ(rig.Gate()[99], 1.0f);
    EXPECT_EQ(rig.Gate()[100], on ? 0.0f : 1.0f) << "retrigger " << retrigger;
    EXPECT_EQ(rig.Gate()[102], on ? 0.0f : 1.0f);
    EXPECT_EQ(rig.Gate()[103], 1.0f);
  }
}

TEST(MidiToCv, MonoLowPriorityHoldsBackHigherNotesAndGlidesOnReplay) {
  NoteRig rig(64, 1);
  rig.Set(kMono, "1");
  rig.Set(kPriority, "1");
  rig.Set(kPortamento, "5");  // 79 ms
  rig.Build();
  rig.Note(0, 60);
  rig.Note(100, 64);
  rig.NoteOff(200, 60);
  rig.Render(8000);
  EXPECT_FLOAT_EQ(rig.Pitch()[150], ug_midi_to_cv::NotePitch(60)) << "64 is remembered, not played";
  EXPECT_FLOAT_EQ(rig.Pitch()[199], ug_midi_to_cv::NotePitch(60));
  const float mid = rig.Pitch()[200 + 1000];
  EXPECT_GT(mid, ug_midi_to_cv::NotePitch(60));
  EXPECT_LT(mid, ug_midi_to_cv::NotePitch(64)) << "re-played with a glide";
  EXPECT_FLOAT_EQ(rig.Pitch()[7999], ug_midi_to_cv::NotePitch(64));
  EXPECT_EQ(rig.Gate()[1000], 1.0f);
}

TEST(MidiToCv, PortamentoOfExactlyZeroNeverGlides) {
  for (const char* time : {"0", "0.001"}) {
    NoteRig rig(64, 1);
    rig.Set(kMono, "1");
    rig.Set(kPortamento, time);
    rig.Build();
    rig.Note(0, 60);
    rig.Note(100, 72);
    rig.Render(400);
    const bool glides = time[1] == '.';
    if (glides) {
      // 2.5 ms at 44100 Hz: about 110 samples.
      EXPECT_LT(rig.Pitch()[150], ug_midi_to_cv::NotePitch(72));
      EXPECT_FLOAT_EQ(rig.Pitch()[240], ug_midi_to_cv::NotePitch(72));
    } else {
      EXPECT_FLOAT_EQ(rig.Pitch()[100], ug_midi_to_cv::NotePitch(72));
    }
  }
}

TEST(MidiToCv, PitchBendGlidesOverASixtiethOfASecond) {
  NoteRig rig(64, 2);
  rig.Build();
  rig.Note(0, 69);
  rig.Midi(100, 0xE0u | 0x7Fu << 8 | 0x7Fu << 16);  // 8191
  rig.Render(2000);
  const float full = 0.5f + 8191.0f / 8192.0f * 12.0f / 120.0f;
  EXPECT_FLOAT_EQ(rig.Pitch()[99], 0.5f);
  EXPECT_GT(rig.Pitch()[100 + 300], 0.5f);
  EXPECT_LT(rig.Pitch()[100 + 300], full - 0.01f);
  EXPECT_NEAR(rig.Pitch()[100 + 735], full, 1e-6);
  EXPECT_NEAR(rig.Pitch()[1999], full, 1e-6);
}

TEST(MidiToCv, RpnZeroSetsTheChannelsBendRangeButNotTheModulesOwn) {
  NoteRig rig(64, 1);
  rig.Build();
  rig.Midi(0, 0xB0u | 101u << 8);
  rig.Midi(0, 0xB0u | 100u << 8);
  rig.Midi(0, 0xB0u | 6u << 8 | 12u << 16);
  rig.Midi(0, 0xB1u | 99u << 8 | 1u << 16);  // NRPN on channel 2: data entry ignored there
  rig.Midi(0, 0xB1u | 6u << 8 | 5u << 16);
  rig.Render(64);
  EXPECT_FLOAT_EQ(rig.cv->Bend(0).range, 12.0f);
  EXPECT_FLOAT_EQ(rig.cv->Bend(1).range, 2.0f);
}

TEST(MidiToCv, SustainPedalHoldsReleasedKeysUntilPedalUp) {
  NoteRig rig(64, 2);
  rig.Build();
  rig.Midi(0, 0xB0u | 64u << 8 | 127u << 16);
  rig.Note(10, 60);
  rig.NoteOff(100, 60);
  rig.Midi(300, 0xB0u | 64u << 8);
  rig.Render(400);
  EXPECT_EQ(rig.Gate()[299], 1.0f) << "the key is up but the pedal holds it";
  EXPECT_EQ(rig.Gate()[300], 0.0f);
}

TEST(MidiToCv, ChannelFilterAndSystemMessages) {
  NoteRig rig(64, 2);
  rig.Set(1, "3");  // channel 4 only
  rig.Build();
  rig.Note(0, 60, 100, 0);
  rig.Midi(5, 0xF8u);
  rig.Note(10, 62, 100, 3);
  rig.Render(100);
  EXPECT_FLOAT_EQ(rig.Pitch()[50], ug_midi_to_cv::NotePitch(62));
  EXPECT_EQ(rig.root.voices[0]->note, 62);
}
