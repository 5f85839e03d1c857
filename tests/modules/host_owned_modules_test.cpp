// The modules that stood for old names: voltage-chosen switches, the
// Thrasher, "MIDI Out" into the host's ring, the sound-card modules that
// say once that the host owns the device, and "Sample Player obsolete",
// which plays a font exactly as "Soundfont Player" does.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "engine/outgoing_midi_ring.h"
#include "modules/io/midi_out.h"
#include "modules/legacy/control_plugs_module.h"
#include "modules/io/sound_card.h"
#include "modules/mix/cv_switch.h"
#include "modules/shaper/thrasher.h"
#include "modules/soundfont/sample_player.h"
#include "support/sample_rig.h"
#include "support/voice_rig.h"
#include "utility_rig.h"

namespace krtest {
using namespace kr;

namespace {

TEST(VoltageSwitches, SelectChoosesTheInputSampleBySample) {
  TestEngine engine(64);
  auto* two = AddNamedAs<ug_obs_USwitch_v1>(engine, "Switch", 50);
  auto* four = AddNamedAs<ug_obs_USwitch2_v1>(engine, "Switch2", 50);
  ASSERT_NE(two, nullptr);
  ASSERT_NE(four, nullptr);
  for (int k = 0; k < 2; ++k)
    StreamInto(engine, two->GetPlug(k), [k](int) { return 0.1f * static_cast<float>(k + 1); });
  for (int k = 0; k < 4; ++k)
    StreamInto(engine, four->GetPlug(k), [k](int) { return 0.1f * static_cast<float>(k + 1); });
  // Select sweeps -1 V ... 11 V over 120 samples, then repeats.
  auto select = [](int t) { return -0.1f + 0.01f * static_cast<float>(t % 120); };
  StreamInto(engine, two->GetPlug(ug_obs_USwitch_v1::PN_SELECT), select);
  StreamInto(engine, four->GetPlug(ug_obs_USwitch2_v1::PN_SELECT), select);
  Tap* outTwo = TapOn(engine, two->GetPlug(ug_obs_USwitch_v1::PN_OUTPUT));
  Tap* outFour = TapOn(engine, four->GetPlug(ug_obs_USwitch2_v1::PN_OUTPUT));
  engine.Start();
  engine.Render(240, 64);
  for (int t = 0; t < 240; ++t) {
    const float v = select(t);
    EXPECT_EQ(outTwo->samples[static_cast<std::size_t>(t)], v > 0.0f ? 0.2f : 0.1f) << t;
    const int chosen = ug_obs_USwitch2_v1::Choose(v);
    EXPECT_EQ(outFour->samples[static_cast<std::size_t>(t)], 0.1f * static_cast<float>(chosen + 1)) << t;
  }
  EXPECT_EQ(ug_obs_USwitch2_v1::Choose(0.0f), 0);
  EXPECT_EQ(ug_obs_USwitch2_v1::Choose(0.3f), 1);   // 3 V
  EXPECT_EQ(ug_obs_USwitch2_v1::Choose(0.74f), 2);  // 7.4 V
  EXPECT_EQ(ug_obs_USwitch2_v1::Choose(0.76f), 3);
  EXPECT_EQ(ug_obs_USwitch2_v1::Choose(5.0f), 3);
  EXPECT_EQ(ug_obs_USwitch2_v1::Choose(NAN), 0);
}

TEST(VoltageSwitches, AStaticChoiceOfStaticInputsSettlesAndSleeps) {
  TestEngine engine(64);
  auto* two = AddNamedAs<ug_obs_USwitch_v1>(engine, "Switch", 50);
  ApplyInputs(*two, {{ug_obs_USwitch_v1::PN_INPUT_A, "2"}, {ug_obs_USwitch_v1::PN_INPUT_B, "7"},
                     {ug_obs_USwitch_v1::PN_SELECT, "5"}});
  Tap* out = TapOn(engine, two->GetPlug(ug_obs_USwitch_v1::PN_OUTPUT));
  engine.Start();
  engine.Render(256, 64);
  EXPECT_FLOAT_EQ(out->samples[0], 0.7f);
  EXPECT_FLOAT_EQ(out->samples[255], 0.7f);
  EXPECT_TRUE(two->sleeping);
}

TEST(Thrasher, HoldsSamplesAndRoundsToItsBits) {
  TestEngine engine(64);
  auto* thrasher = AddNamedAs<UThrasher>(engine, "Thrasher", 50);
  ASSERT_NE(thrasher, nullptr);
  // 1 bit (0 V) and one sample in 64 (0 V).
  StreamInto(engine, thrasher->GetPlug(UThrasher::PN_SIGNAL), [](int t) { return t < 64 ? 0.4f : -0.7f; });
  ApplyInputs(*thrasher, {{UThrasher::PN_BITS, "0"}, {UThrasher::PN_RATE, "0"}});
  Tap* out = TapOn(engine, thrasher->GetPlug(UThrasher::PN_OUTPUT));
  engine.Start();
  engine.Render(192, 64);
  EXPECT_EQ(out->samples[0], 0.0f);  // 0.4 rounds to 0 at one bit
  EXPECT_EQ(out->samples[63], 0.0f);
  EXPECT_EQ(out->samples[64], -1.0f);  // the next taken sample, 64 later
  EXPECT_EQ(out->samples[127], -1.0f);
}

TEST(Thrasher, AtTenVoltsItKeepsSixteenBitsOfEverySample) {
  TestEngine engine(64);
  auto* thrasher = AddNamedAs<UThrasher>(engine, "Thrasher", 50);
  auto in = [](int t) { return 0.3f * std::sin(0.05f * static_cast<float>(t)); };
  StreamInto(engine, thrasher->GetPlug(UThrasher::PN_SIGNAL), in);
  ApplyInputs(*thrasher);
  Tap* out = TapOn(engine, thrasher->GetPlug(UThrasher::PN_OUTPUT));
  engine.Start();
  engine.Render(128, 64);
  for (int t = 0; t < 128; ++t) EXPECT_NEAR(out->samples[static_cast<std::size_t>(t)], in(t), 0.5 / 32768.0 + 1e-7) << t;
}

TEST(MidiOut, SendsToTheHostRingAtItsSample) {
  TestEngine engine(64);
  AddNamed(engine, "MIDI Out", 50);
  auto* out = dynamic_cast<ug_midi_out*>(engine.root.modules.back().get());
  ASSERT_NE(out, nullptr);
  auto* feeder = engine.root.Add<MidiFeeder>(300);
  Connect(feeder->GetPlug(0), out->GetPlug(ug_midi_out::PN_MIDI_IN));
  feeder->Schedule(5, 0x403C90);
  feeder->Schedule(70, 0x003C80);
  engine.Start();
  OutgoingMidiRing ring;
  for (int b = 0; b < 2; ++b) {
    HostBlock block;
    block.frames = 64;
    block.midiOut = &ring;
    engine.master.Process(block);
  }
  ASSERT_EQ(ring.WritePosition(), 2);
  EXPECT_EQ(ring.At(0).time, 5u);
  EXPECT_EQ(ring.At(0).message, 0x403C90u);
  EXPECT_EQ(ring.At(1).time, 70u);
}

TEST(SoundCardModules, PassSilenceAndSayOnceThatTheHostOwnsTheDevice) {
  TestEngine engine(64);
  ug_base* in = AddNamed(engine, "Sound In", 50);
  ug_base* out = AddNamed(engine, "Sound Out", 51);
  ug_base* audioIn = AddNamed(engine, "Audio In", 52);  // "Soundcard In" by default
  ug_base* audioOut = AddNamed(engine, "Audio Out", 53);
  ug_base* recorder = AddNamed(engine, "Wave Recorder", 54);
  StreamInto(engine, out->GetPlug(ug_soundcard_out::PN_LEFT), [](int) { return 0.5f; });
  for (ug_base* m : {in, out, audioIn, audioOut, recorder}) ApplyInputs(*m);
  for (auto [m, title] : {std::pair{in, "Sound In"}, {out, "Sound Out"}, {audioIn, "Audio In"}, {audioOut, "Audio Out"}})
    m->title = title;
  recorder->GetPlug(2)->ApplyDefault("");  // no file: records nothing
  Tap* left = TapOn(engine, in->GetPlug(ug_soundcard_in::PN_LEFT));
  engine.Start();
  engine.Render(512, 64);
  for (float s : left->samples) ASSERT_EQ(s, 0.0f);
  const std::string said = std::string(" : ") + kHostOwnsSoundCard;
  EXPECT_EQ(engine.host.boxes, (std::vector<std::string>{"Sound In" + said, "Sound Out" + said, "Audio In" + said,
                                                          "Audio Out" + said}));
}

TEST(SamplePlayerObsolete, PlaysTheFontItsFilePlugNamesAsSoundfontPlayerDoes) {
  FontSpec spec = RampFont(200, 20, 50);
  spec.instrumentGens = {{54, 1}};
  const Bytes font = MakeFont(spec);
  TempDir dir;
  std::ofstream(dir.path() / "font.sf2", std::ios::binary)
      .write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
  auto play = [&](bool obsolete) {
    FolderFiles files;
    files.folder = dir.path();
    VoiceRig rig(64, 4);
    rig.host.files = &files;
    ug_sample_player2* player = nullptr;
    if (obsolete) {
      auto* old = rig.Add<ug_sample_player>();
      old->GetPlug(ug_sample_player::PN_FILE)->ApplyDefault("font.sf2");
      player = old;
    } else {
      player = rig.Add<ug_sample_player2>();
      player->SetFileName("font.sf2");
    }
    auto* tap = rig.Add<VoiceTap>();
    Connect(rig.feeder->GetPlug(0), player->GetPlug(ug_sample_player2::PN_MIDI));
    Connect(player->GetPlug(ug_sample_player2::PN_LEFT), tap->GetPlug(0));
    rig.Build();
    rig.Note(10, 60, 100);
    rig.Render(300);
    EXPECT_TRUE(player->HasFont()) << obsolete;
    return tap->samples;
  };
  const std::vector<float> old = play(true);
  EXPECT_EQ(old, play(false));
  EXPECT_NE(old[100], 0.0f);
  ModuleRegistry& registry = ModuleRegistry::Get();
  EXPECT_EQ(registry.FindByName("BI27")->flags & (MF_NOTE_SOURCE | MF_VOICE_SOURCE), MF_NOTE_SOURCE | MF_VOICE_SOURCE);
}

TEST(ControlPlugs, ReportTheLatestValueOfEachChangedPlugAtMostTwentyTimesASecond) {
  TestEngine engine(64);
  auto* plugs = AddNamedAs<ug_control_plugs>(engine, "Control Plugs", 50, 2);
  ASSERT_NE(plugs, nullptr);
  ASSERT_EQ(plugs->PlugCount(), 2);
  auto* first = engine.root.Add<FloatStepSource>(300);
  auto* second = engine.root.Add<FloatStepSource>(301);
  Connect(first->GetPlug(0), plugs->GetPlug(0));
  Connect(second->GetPlug(0), plugs->GetPlug(1));
  first->Schedule(10, 1.5f);
  second->Schedule(50, -4.0f);
  first->Schedule(100, 2.25f);
  first->Schedule(200, 3.0f);
  engine.Start();
  engine.Render(5000, 64);
  const auto& got = engine.host.plugTexts;
  ASSERT_EQ(got.size(), 4u);
  // At the start, both values as wired; one period (2205 samples) later the latest of each.
  EXPECT_EQ(got[0].plug, 0);
  EXPECT_EQ(got[0].text, "0");
  EXPECT_EQ(got[1].plug, 1);
  EXPECT_EQ(got[2].clock, 2205);
  EXPECT_EQ(got[2].plug, 0);
  EXPECT_EQ(got[2].text, "3");
  EXPECT_EQ(got[3].plug, 1);
  EXPECT_EQ(got[3].text, "-4");
}

}  // namespace

}  // namespace krtest
