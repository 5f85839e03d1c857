// "Drum Trigger": note mapping, trigger timing with the minimum pulse, the
// hi-hat decay and one voice per wired slot.
#include <gtest/gtest.h>

#include "modules/midi/drum_trigger.h"
#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;

namespace {

enum { kKickTrig = 5, kKickVel = 6, kSnareTrig = 7, kHatDecay = 11, kUser1Note = 32 };

struct DrumRig : VoiceRig {
  DrumRig() : VoiceRig(64, 4) {
    drum = static_cast<ug_drum_trigger*>(AddNamed("Drum Trigger"));
    Connect(feeder->GetPlug(0), drum->GetPlug(0));
    kick = Add<Follower>();
    snare = Add<Follower>();
    hat = Add<VoiceTap>();
    kickTap = Add<VoiceTap>();
    snareTap = Add<VoiceTap>();
    Connect(drum->GetPlug(kKickTrig), kick->GetPlug(0));
    Connect(drum->GetPlug(kSnareTrig), snare->GetPlug(0));
    Connect(kick->GetPlug(1), kickTap->GetPlug(0));
    Connect(snare->GetPlug(1), snareTap->GetPlug(0));
    Connect(drum->GetPlug(kHatDecay), hat->GetPlug(0));
    const char* decays[3] = {"5", "3.5", "2.5"};  // the inputs' defaults
    for (int i = 0; i < 3; ++i) drum->GetPlug(2 + i)->ApplyDefault(decays[i]);
  }
  ug_drum_trigger* drum;
  Follower *kick, *snare;
  VoiceTap *hat, *kickTap, *snareTap;
};

}  // namespace

TEST(DrumTrigger, NotesMapToSlotsAndUserNotesComeFirst) {
  ug_drum_trigger drum;
  drum.CreatePlugs();
  drum.AllocatePlugData();
  EXPECT_EQ(drum.SlotForNote(35), 0);
  EXPECT_EQ(drum.SlotForNote(36), 0) << "36 plays the kick";
  EXPECT_EQ(drum.SlotForNote(40), 1);
  EXPECT_EQ(drum.SlotForNote(46), 2);
  EXPECT_EQ(drum.SlotForNote(43), 4);
  EXPECT_EQ(drum.SlotForNote(57), 8);
  EXPECT_EQ(drum.SlotForNote(62), 11) << "User1 Note # 62";
  EXPECT_EQ(drum.SlotForNote(37), 14) << "User4 Note # 37";
  EXPECT_EQ(drum.SlotForNote(60), -1) << "58 and above only as user notes";
  EXPECT_EQ(drum.SlotForNote(52), -1) << "below 58 but no slot's note";
  EXPECT_EQ(drum.PlugCount(), 40);
}

TEST(DrumTrigger, EachWiredSlotGetsAVoiceAndItsModules) {
  DrumRig rig;
  rig.Build();
  ASSERT_EQ(rig.root.VoiceCount(), 4) << "kick, snare and hi-hat are wired";
  EXPECT_EQ(rig.drum->SlotVoice(0), 1);
  EXPECT_EQ(rig.drum->SlotVoice(1), 2);
  EXPECT_EQ(rig.drum->SlotVoice(2), 3);
  EXPECT_EQ(rig.drum->SlotVoice(3), 0);
  const auto& kickVoice = rig.root.voices[1]->modules;
  EXPECT_NE(std::find(kickVoice.begin(), kickVoice.end(), rig.kick), kickVoice.end());
  EXPECT_EQ(rig.kick->voiceTag, 1);
  EXPECT_EQ(rig.snare->voiceTag, 2);
  EXPECT_EQ(rig.root.voices[2]->noteReceiver, rig.drum);
  const auto& shared = rig.root.FirstVoice().modules;
  EXPECT_NE(std::find(shared.begin(), shared.end(), rig.drum), shared.end()) << "the trigger itself stays shared";
}

TEST(DrumTrigger, KickPulseLastsAtLeastTwentyMillisecondsAndANewHitVoidsThePendingFall) {
  DrumRig rig;
  rig.Build();
  EXPECT_EQ(rig.drum->MinimumPulse(), 882);
  const int t = 100;
  rig.Note(t, 36, 127);
  rig.NoteOff(t + 44, 36);
  rig.Note(t + 500, 35, 64);
  rig.NoteOff(t + 600, 35);
  rig.Render(3000);
  const auto& k = rig.kickTap->samples;
  EXPECT_EQ(k[t + 2], 0.0f);
  EXPECT_EQ(k[t + 3], 1.0f) << "10 V three samples after the note";
  EXPECT_EQ(k[t + 500], 0.0f) << "the second hit restarts the pulse";
  EXPECT_EQ(k[t + 503], 1.0f);
  EXPECT_EQ(k[t + 900], 1.0f) << "the first note off's fall is void";
  EXPECT_EQ(k[t + 500 + 881], 1.0f);
  EXPECT_EQ(k[t + 500 + 882], 0.0f);
  EXPECT_EQ(rig.snareTap->samples[t + 10], 0.0f);
}

TEST(DrumTrigger, HiHatNotesSetTheDecayOutputFromTheirInput) {
  DrumRig rig;
  rig.Build();
  rig.Note(10, 42);
  rig.Note(200, 46);
  rig.Note(400, 44);
  rig.Render(600);
  EXPECT_FLOAT_EQ(rig.hat->samples[100], 0.25f) << "closed: 2.5 V";
  EXPECT_FLOAT_EQ(rig.hat->samples[300], 0.5f) << "open: 5 V";
  EXPECT_FLOAT_EQ(rig.hat->samples[500], 0.35f) << "pedal: 3.5 V";
}
