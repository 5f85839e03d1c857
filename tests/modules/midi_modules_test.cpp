// "Controllers", "Trigger to MIDI" and "KeyBoard".
#include <gtest/gtest.h>

#include "modules/midi/cv_midi.h"
#include "modules/midi/midi_keyboard.h"
#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct Received {
  int time;
  std::uint32_t message;
  bool operator==(const Received&) const = default;
};

class MidiSink : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<MidiSink>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&in, &typeid(MidiInEndpoint), "MIDI In", DR_IN, DT_MIDI, "");
  }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
  void HandleEvent(ug_event* e) override {
    if (e->type == UET_MIDI) got.push_back({e->time, static_cast<std::uint32_t>(e->value)});
    ug_base::HandleEvent(e);
  }
  MidiInEndpoint in;
  std::vector<Received> got;
};

}  // namespace

TEST(Controllers, ControllersBendAndPressureBecomeVoltagesOverASixtiethSecond) {
  VoiceRig rig(64, 1);
  ug_base* c = rig.AddNamed("Controllers");
  ASSERT_NE(c, nullptr);
  VoiceTap* taps[3];
  const int outputs[3] = {6, 7, 8};  // Aftertouch, Bender, first Controller
  for (int i = 0; i < 3; ++i) {
    taps[i] = rig.Add<VoiceTap>();
    Connect(c->GetPlug(outputs[i]), taps[i]->GetPlug(0));
  }
  Connect(rig.feeder->GetPlug(0), c->GetPlug(0));
  rig.Build();
  rig.Midi(10, 0xB0u | 1u << 8 | 127u << 16);   // mod wheel, the first slot's controller
  rig.Midi(10, 0xB0u | 33u << 8 | 127u << 16);  // its LSB
  rig.Midi(20, 0xE0u);                           // full bend down
  rig.Midi(30, 0xD0u | 127u << 8);
  rig.Render(2000);
  EXPECT_EQ(taps[2]->samples[10], 16383.0f / 16256.0f / 735.0f * 1.0f);
  EXPECT_FLOAT_EQ(taps[2]->samples[1999], 16383.0f / 16256.0f);
  EXPECT_FLOAT_EQ(taps[1]->samples[20 + 734], -1.0f) << "-10 V after 735 samples";
  EXPECT_GT(taps[1]->samples[20 + 700], -1.0f);
  EXPECT_FLOAT_EQ(taps[0]->samples[1999], 1.0f);
}

TEST(TriggerToMidi, PitchVelocityAndChannelMakeTheNoteMessage) {
  EXPECT_EQ(ug_cv_midi::NoteForPitch(0.5f, false), 69);
  EXPECT_EQ(ug_cv_midi::NoteForPitch(0.495f, false), 68) << "truncate(68.9)";
  EXPECT_EQ(ug_cv_midi::NoteForPitch(0.0441f, true), 69) << "441 Hz at 0.441 V per kHz";
  EXPECT_EQ(ug_cv_midi::NoteForPitch(-3.0f, false), 0);
  EXPECT_EQ(ug_cv_midi::NoteForPitch(5.0f, false), 127);

  VoiceRig rig(64, 1);
  ug_base* t = rig.AddNamed("Trigger to MIDI");
  auto* sink = rig.Add<MidiSink>();
  Connect(t->GetPlug(4), sink->GetPlug(0));
  t->GetPlug(0)->ApplyDefault("10");
  t->GetPlug(1)->ApplyDefault("5");
  t->GetPlug(2)->ApplyDefault("0");
  t->GetPlug(3)->ApplyDefault("-1");
  rig.Build();
  rig.Render(64);
  ASSERT_EQ(sink->got.size(), 1u);
  EXPECT_EQ(sink->got[0], (Received{0, 0x90u | 69u << 8 | 1u << 16})) << "velocity 0 V sends 1, channel All sends 1";
}

TEST(KeyBoard, PanelKeysLeaveAsNotesAtTheModulesClockWhenWoken) {
  VoiceRig rig(64, 1);
  ug_base* k = rig.AddNamed("KeyBoard");
  auto* sink = rig.Add<MidiSink>();
  Connect(k->GetPlug(1), sink->GetPlug(0));
  k->GetPlug(0)->ApplyDefault("2");
  rig.Build();
  rig.Render(100);
  k->OnUiNotify(ug_midi_keyboard::kKeyDown, 60 + 128);
  k->OnUiNotify(ug_midi_keyboard::kKeyUp, 60);
  rig.Render(64);
  ASSERT_EQ(sink->got.size(), 2u);
  EXPECT_EQ(sink->got[0], (Received{100, 0x92u | 60u << 8 | 90u << 16}));
  EXPECT_EQ(sink->got[1], (Received{100, 0x82u | 60u << 8 | 64u << 16}));
}
