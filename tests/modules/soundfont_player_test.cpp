// "Soundfont Player": voices from MIDI notes, the envelope, program
// changes, and a General MIDI font played through the voice list.
#include <gtest/gtest.h>

#include "modules/soundfont/sample_player2.h"
#include "support/sample_rig.h"
#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct FontPlayerRig {
  explicit FontPlayerRig(const Bytes& font, int polyphony = 4) : rig(64, polyphony) {
    files.folder = dir.path();
    rig.host.files = &files;
    std::ofstream(dir.path() / "font.sf2", std::ios::binary)
        .write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
    player = rig.Add<ug_sample_player2>();
    player->SetFileName("font.sf2");
    tap = rig.Add<krtest::VoiceTap>();
    Connect(rig.feeder->GetPlug(0), player->GetPlug(ug_sample_player2::PN_MIDI));
    Connect(player->GetPlug(ug_sample_player2::PN_LEFT), tap->GetPlug(0));
    rig.Build();
  }
  // The sample index behind each output sample of a ramp font at full level.
  int Index(std::size_t at) const { return static_cast<int>(std::lround(tap->samples[at] * 131072.0)) - 100; }

  krtest::TempDir dir;
  FolderFiles files;
  krtest::VoiceRig rig;
  ug_sample_player2* player;
  krtest::VoiceTap* tap;
};

constexpr int kAttack = 43;  // -12000 timecents at 44.1 kHz, the default

}  // namespace

TEST(SoundfontPlayer, ANoteRampsUpThenReadsEverySampleAndLoops) {
  FontSpec font = RampFont(200, 20, 50);
  font.instrumentGens = {{54, 1}};
  FontPlayerRig p(MakeFont(font));
  p.rig.Note(10, 60, 100);
  p.rig.Render(10 + 200);
  ASSERT_TRUE(p.player->HasFont());
  EXPECT_EQ(p.tap->samples[9], 0.0f);
  // The attack ramps linearly over 43 samples: the first output is 1/43 of sample 0.
  EXPECT_NEAR(p.tap->samples[10], (100.0f / 131072.0f) / kAttack, 1e-9f);
  for (int i = 2 * kAttack; i < 200; ++i) {
    const int want = i < 50 ? i : 20 + (i - 50) % 30;
    ASSERT_EQ(p.Index(static_cast<std::size_t>(10 + i)), want) << i;
  }
}

TEST(SoundfontPlayer, ReleaseEndsTheVoiceAndHandsItBack) {
  FontSpec font = RampFont(200, 20, 50);
  font.instrumentGens = {{54, 1}};
  FontPlayerRig p(MakeFont(font), 2);
  p.rig.Note(0, 60, 100);
  p.rig.NoteOff(300, 60);
  p.rig.Render(300 + kAttack + 64 * 4);
  EXPECT_NE(p.tap->samples[300 + kAttack / 2], 0.0f) << "releasing";
  for (std::size_t i = 300 + kAttack + 1; i < p.tap->samples.size(); ++i) ASSERT_EQ(p.tap->samples[i], 0.0f) << i;
  const int voice = 0;
  auto* copy = krtest::InVoice(p.rig, p.player, voice);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetPlug(ug_sample_player2::PN_LEFT)->state, ST_STOP);
  EXPECT_TRUE(p.rig.root.voices[0]->suspended) << "the voice went back to the container";
}

TEST(SoundfontPlayer, ASustainOfSilenceEndsTheNoteAfterTheDecay) {
  FontSpec font = RampFont(2000, 20, 50);
  font.instrumentGens = {{54, 1}, {37, 1000}};
  FontPlayerRig p(MakeFont(font));
  p.rig.Note(0, 60, 100);
  p.rig.Render(400);
  EXPECT_NE(p.tap->samples[kAttack], 0.0f);
  for (std::size_t i = 2 * kAttack + 1; i < 400; ++i) ASSERT_EQ(p.tap->samples[i], 0.0f) << i;
}

TEST(SoundfontPlayer, ProgramChangeChoosesThePresetAndLeavesPlayingNotesAlone) {
  FontSpec font = RampFont(400, 20, 50);
  font.instrumentGens = {{54, 1}};
  font.program = 5;
  FontPlayerRig p(MakeFont(font));
  p.rig.Note(0, 60, 100);  // program 0 has no preset: silent
  p.rig.Midi(100, 0xC0 | 5 << 8);
  p.rig.Note(110, 62, 100);
  p.rig.Midi(200, 0xC0 | 3 << 8);  // away again while the note plays
  p.rig.Render(400);
  for (int i = 0; i < 110; ++i) ASSERT_EQ(p.tap->samples[static_cast<std::size_t>(i)], 0.0f) << i;
  // Key 62 over root 60: two semitones up, on and on through the change.
  float peak = 0.0f;
  for (std::size_t i = 300; i < 400; ++i) peak = std::max(peak, std::abs(p.tap->samples[i]));
  EXPECT_GT(peak, 100.0f / 131072.0f);
}

TEST(SoundfontPlayer, AMissingFontIsReportedAndMidiIgnored) {
  FontPlayerRig p(Bytes{'n', 'o'});
  p.rig.Note(0, 60, 100);
  p.rig.Render(256);
  ASSERT_EQ(p.rig.host.boxes.size(), 1u) << "once for the player and its voices";
  EXPECT_NE(p.rig.host.boxes[0].find("Can't play the SoundFont"), std::string::npos) << p.rig.host.boxes[0];
  for (float v : p.tap->samples) EXPECT_EQ(v, 0.0f);
}

TEST(SoundfontPlayer, PlaysAGeneralMidiChordFromTimGM6mb) {
  const std::filesystem::path tim = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  REQUIRE_FILE(tim);
  FontPlayerRig p(ReadFile(tim), 8);
  for (int key : {48, 60, 64, 67}) p.rig.Note(0, key, 100);
  p.rig.Midi(0, 0x642899);  // a drum on channel 10 (bank 128)
  for (int key : {48, 60, 64, 67}) p.rig.NoteOff(22050, key);
  p.rig.Render(44100);
  EXPECT_TRUE(p.rig.host.boxes.empty());
  float early = 0.0f, late = 0.0f;
  for (std::size_t i = 0; i < 4410; ++i) early = std::max(early, std::abs(p.tap->samples[i]));
  for (std::size_t i = 40000; i < 44100; ++i) late = std::max(late, std::abs(p.tap->samples[i]));
  EXPECT_GT(early, 0.01f);
  EXPECT_LT(late, early * 0.1f) << "released";
}
