// Per-voice modules, the combiner and voice monitor the voices need, and
// suspending silent voices: a suspended voice costs nothing, the master note
// source never sleeps through a note, and renders do not depend on how the
// host cuts its blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "modules/midi/midi_to_cv.h"
#include "modules/mix/voice_monitor.h"
#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;

namespace {

enum { kGate = 3, kPitch = 4, kVelocity = 5, kMono = 7, kPortamento = 9 };

struct SynthRig : VoiceRig {
  SynthRig(int hostBlock, int polyphony) : VoiceRig(hostBlock, polyphony) {
    cv = static_cast<ug_midi_to_cv*>(AddNamed("Midi to CV"));
    gate = Add<Follower>();
    pitch = Add<GateVca>();
    velocity = Add<GateVca>();
    gateTap = Add<VoiceTap>();
    pitchTap = Add<VoiceTap>();
    velocityTap = Add<VoiceTap>();
    Connect(feeder->GetPlug(0), cv->GetPlug(0));
    Connect(cv->GetPlug(kGate), gate->GetPlug(0));
    Connect(cv->GetPlug(kGate), pitch->GetPlug(0));
    Connect(cv->GetPlug(kPitch), pitch->GetPlug(1));
    Connect(cv->GetPlug(kGate), velocity->GetPlug(0));
    Connect(cv->GetPlug(kVelocity), velocity->GetPlug(1));
    Connect(gate->GetPlug(1), gateTap->GetPlug(0));
    Connect(pitch->GetPlug(2), pitchTap->GetPlug(0));
    Connect(velocity->GetPlug(2), velocityTap->GetPlug(0));
  }
  ug_voice_monitor* Monitor(int voice) {
    for (ug_base* m : root.voices[static_cast<std::size_t>(voice)]->modules)
      if (auto* monitor = dynamic_cast<ug_voice_monitor*>(m)) return monitor;
    return nullptr;
  }
  ug_midi_to_cv* cv;
  Follower* gate;
  GateVca *pitch, *velocity;  // the voice's pitch and velocity, gated
  VoiceTap *gateTap, *pitchTap, *velocityTap;
};

}  // namespace

TEST(VoiceBuilding, ModulesFedByTheNoteSourceAreCopiedAndSharedOnesAreNot) {
  SynthRig rig(64, 3);
  rig.Build();
  EXPECT_NE(rig.cv->flags & UGF_POLYPHONIC, 0u);
  EXPECT_NE(rig.gate->flags & UGF_POLYPHONIC, 0u);
  EXPECT_EQ(rig.gateTap->flags & UGF_POLYPHONIC, 0u) << "a signal input hears the sum of the voices";
  EXPECT_EQ(rig.feeder->flags & UGF_POLYPHONIC, 0u);
  ASSERT_EQ(rig.root.VoiceCount(), 3);
  for (int v = 1; v < 3; ++v) {
    Voice& voice = *rig.root.voices[static_cast<std::size_t>(v)];
    EXPECT_EQ(voice.modules.size(), 5u) << "note source, three followers, monitor";
    auto* copy = InVoice(rig, rig.gate, v);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, rig.gate);
    EXPECT_NE(copy->flags & UGF_CLONE, 0u);
    EXPECT_NE(voice.noteReceiver, rig.cv);
    EXPECT_EQ(rig.Monitor(v)->WatchedVoice(), &voice);
    EXPECT_TRUE(InVoice(rig, rig.cv, v)->GetPlug(0)->connections.empty()) << "copies hear no MIDI directly";
  }
  // Every voice's follower joins one combiner in front of the tap.
  UPlug* tapIn = rig.gateTap->GetPlug(0);
  ASSERT_NE(tapIn->redirect, nullptr);
  ug_base* combiner = tapIn->redirect->owner;
  EXPECT_NE(combiner->flags & UGF_NO_MARKING, 0u);
  EXPECT_EQ(tapIn->redirect->connections.size(), 3u);
  EXPECT_EQ(rig.Monitor(0)->GetPlug(1)->connections.size(), 3u) << "the monitor watches all three outputs";
  EXPECT_NE(rig.cv->flags & UGF_NEVER_SUSPEND_WITH_VOICE, 0u) << "the master is never suspended with voice 0";
  EXPECT_EQ(InVoice(rig, rig.cv, 1)->flags & UGF_NEVER_SUSPEND_WITH_VOICE, 0u);
}

TEST(VoiceSuspension, ReleasedVoiceIsSuspendedOnceSilentAndCostsNothing) {
  SynthRig rig(64, 2);
  rig.Build();
  rig.Note(0, 60);
  rig.NoteOff(1000, 60);
  rig.Render(1000);
  Voice& v0 = *rig.root.voices[0];
  EXPECT_FALSE(v0.suspended) << "held";
  EXPECT_TRUE(rig.root.voices[1]->suspended) << "an idle voice is suspended as soon as it is quiet";
  EXPECT_FALSE(rig.IsActive(InVoice(rig, rig.gate, 1)));

  rig.Render(30);
  EXPECT_FALSE(v0.suspended) << "not within 30 samples of the release";
  rig.Render(3 * 64);
  EXPECT_TRUE(v0.suspended);
  EXPECT_EQ(v0.releaseTime, 0);
  for (ug_base* m : v0.modules)
    if ((m->flags & UGF_POLYPHONIC) != 0 && m != rig.cv) {
      EXPECT_FALSE(rig.IsActive(m));
    }
  const long ran = rig.gate->samplesRun + rig.pitch->samplesRun;
  const std::size_t active = [&] {
    std::size_t n = 0;
    for (EventProcessor* p = rig.master.activeHead; p != nullptr; p = p->next) ++n;
    return n;
  }();
  rig.Render(10000);
  EXPECT_EQ(rig.gate->samplesRun + rig.pitch->samplesRun, ran) << "a suspended voice runs nothing";
  std::size_t after = 0;
  for (EventProcessor* p = rig.master.activeHead; p != nullptr; p = p->next) ++after;
  EXPECT_LE(after, active);
  EXPECT_EQ(rig.gateTap->samples.back(), 0.0f);
}

TEST(VoiceSuspension, NoteAfterALongSilenceResumesTheVoiceAndPlays) {
  for (int polyphony : {1, 4}) {
    SynthRig rig(64, polyphony);
    rig.Build();
    rig.Note(0, 60);
    rig.NoteOff(100, 60);
    const int late = 200000 + 17;
    rig.Note(late, 69, 127);
    rig.Render(late - 10);
    for (auto& v : rig.root.voices) EXPECT_TRUE(v->suspended) << "polyphony " << polyphony;
    EXPECT_FALSE(rig.IsActive(rig.gate));
    rig.Render(100);
    const auto at = static_cast<std::size_t>(late);
    EXPECT_EQ(rig.gateTap->samples[at + 2], 0.0f);
    EXPECT_EQ(rig.gateTap->samples[at + 3], 1.0f) << "polyphony " << polyphony;
    EXPECT_FLOAT_EQ(rig.pitchTap->samples[at + 50], 0.5f) << "5 V through the voice's gate";
  }
}

TEST(VoiceSuspension, RenderIsBitIdenticalForHostBlocksOf64And4096) {
  auto render = [](int block) {
    auto rig = std::make_unique<SynthRig>(block, 4);
    rig->cv->GetPlug(kPortamento)->ApplyDefault("3");
    rig->Build();
    int t = 7;
    for (int i = 0; i < 40; ++i) {
      const int note = 48 + (i * 7) % 30;
      rig->Note(t, note, 30 + (i * 13) % 97);
      if (i % 3 != 0) rig->NoteOff(t + 900 + (i * 211) % 3000, note);
      if (i % 5 == 0) rig->Midi(t + 50, 0xE0u | static_cast<std::uint32_t>((i * 37) % 128) << 16);
      if (i % 7 == 0) rig->Midi(t + 20, 0xD0u | static_cast<std::uint32_t>(i * 3) << 8);
      t += 333 + (i * 97) % 1500;
    }
    rig->Midi(t + 100, 0xB0u | 123u << 8);
    rig->Render(t + 20000);
    std::vector<float> all = rig->gateTap->samples;
    all.insert(all.end(), rig->pitchTap->samples.begin(), rig->pitchTap->samples.end());
    all.insert(all.end(), rig->velocityTap->samples.begin(), rig->velocityTap->samples.end());
    return all;
  };
  const std::vector<float> small = render(64);
  const std::vector<float> large = render(4096);
  ASSERT_EQ(small.size(), large.size());
  EXPECT_EQ(std::memcmp(small.data(), large.data(), small.size() * sizeof(float)), 0);
  EXPECT_GT(*std::max_element(small.begin(), small.end()), 1.0f) << "voices really sounded";
  std::size_t firstDifference = 0;
  while (firstDifference < small.size() && small[firstDifference] == large[firstDifference]) ++firstDifference;
  EXPECT_EQ(firstDifference, small.size());
}
