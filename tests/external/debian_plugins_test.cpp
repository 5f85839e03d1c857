// Real VST 2 plug-ins no one here wrote, from Debian's dpf-plugins-vst,
// hosted in a patch: DPF's Kars (an instrument) sounds at the sample and
// pitch of its note, through Kestrune's own VST 2 entry as a host plays it;
// MaFreeverb (an effect) processes the patch's audio; a parameter the patch
// automates changes the sound; the plug-in's state survives Kestrune's chunk
// and the bank and program files the panel's commands write. Linux only:
// the plug-ins are Linux shared objects.
#include <cmath>

#include <gtest/gtest.h>

#include "document/hosted_modules.h"
#include "external/parameter_vst.h"
#include "formats/image/plugin_export.h"
#include "hosted_support.h"
#include "patchtext/patch_compiler.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

using namespace krtest;

constexpr double kRate = 44100.0;

std::string KarsPatch(const std::string& more = "") {
  return HostingPatch(R"("plugin": "Kars-vst.so")" + more,
                      R"([{"from": "io.MIDI In", "to": "vst.MIDI In"}, {"from": "vst.Signal Out", "to": "io.Left Out"}])");
}

class DebianPlugins : public ::testing::Test {
 protected:
  void SetUp() override {
    if (DebianPlugin("Kars").empty() || DebianPlugin("MaFreeverb").empty())
      GTEST_SKIP() << "Debian's dpf-plugins-vst is not installed (Linux only)";
  }
  VstPathOverride path{"/usr/lib/vst"};
};

// Plays a note at offset 37 of the first of nine blocks of 512 through a
// plug-in file loaded by the host harness; answers its first output.
std::vector<float> PlayNote(const fs::path& plugin, std::uint8_t note) {
  HostHarness host;
  EXPECT_TRUE(host.Load(plugin.string())) << host.Error();
  EXPECT_NE(host.CallMain(), nullptr);
  host.Dispatch(vst::effOpen);
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
  host.Dispatch(vst::effSetBlockSize, 0, 512);
  host.Dispatch(vst::effMainsChanged, 0, 1);
  host.PrepareBlock(512);
  const MidiAt on[] = {{37, 0x90, note, 127}};
  std::vector<float> sound;
  for (int block = 0; block < 9; ++block) {
    host.RunBlock(block == 0 ? std::span<const MidiAt>(on) : std::span<const MidiAt>());
    sound.insert(sound.end(), host.Output(0).begin(), host.Output(0).end());
  }
  return sound;
}

// Kestrune exported with the patch, loaded through its VST 2 entry by the
// host harness, against Kars loaded by the harness itself.
TEST_F(DebianPlugins, KarsSoundsAtTheSampleOfItsNoteAndAtItsPitchThroughThePluginsEntry) {
  krtest::TempDir dir;
  const fs::path plugin = dir.path() / "KarsHost.so";
  const auto exported = kr::packaging::ExportPlugin(KR_PLUGIN_PATH, patchtext::CompilePatchTextToBytes(KarsPatch(), dir.path()),
                                                    plugin.string(), kr::packaging::ExportForm::StoredResource);
  ASSERT_TRUE(exported.ok());
  for (const std::uint8_t note : {69, 57}) {  // A4 and A3
    const std::vector<float> hosted = PlayNote(plugin, note);
    const std::vector<float> direct = PlayNote(DebianPlugin("Kars"), note);
    EXPECT_EQ(FirstSound(hosted), 37);  // the offset the host gave, through the patch, to the plug-in
    EXPECT_EQ(FirstSound(direct), 37);
    const double expected = 440.0 * std::exp2((note - 69) / 12.0);
    const double pitch = Pitch(std::span(hosted).subspan(1024, 2048), kRate, 100.0, 1000.0);
    const double directPitch = Pitch(std::span(direct).subspan(1024, 2048), kRate, 100.0, 1000.0);
    EXPECT_NEAR(1200.0 * std::log2(pitch / directPitch), 0.0, 1.0) << pitch << " Hz against " << directPitch;
    // Kars tunes its strings a little flat: the note, not its neighbour.
    EXPECT_NEAR(1200.0 * std::log2(pitch / expected), 0.0, 50.0) << pitch << " Hz";
  }
}

TEST_F(DebianPlugins, MaFreeverbProcessesThePatchsAudio) {
  HostedRig rig(HostingPatch(R"("plugin": "MaFreeverb-vst.so")",
                             R"([{"from": "io.Left In", "to": "vst.Signal in"}, {"from": "vst.Signal Out", "to": "io.Left Out"}])"),
                kRate);
  ASSERT_TRUE(rig.ok());
  ASSERT_TRUE(rig.Module()->Wrapper().Loaded());
  rig.Start(512);
  std::vector<float> click(512, 0.0f);
  click[0] = 1.0f;
  std::vector<float> out = rig.Run(512, {}, click).left;
  for (int block = 0; block < 8; ++block) {
    const std::vector<float> more = rig.Run(512).left;
    out.insert(out.end(), more.begin(), more.end());
  }
  // A click in, a reverberating tail out, long after the click has gone.
  EXPECT_GT(Rms(std::span(out).subspan(2048, 2048)), 1e-4);
}

// Kars with its "Volume" (parameter 2) following controller 7.
TEST_F(DebianPlugins, AHostedParameterTheMidiAutomatesChangesTheSound) {
  HostedRig rig(KarsPatch(R"(, "values": {"MIDI Automation": "1"}, "hosted_automation": {"2": "CC 7"})"), kRate);
  ASSERT_TRUE(rig.ok());
  rig.Start(512);
  const auto level = [&](std::uint8_t volume, std::uint8_t note) {
    const MidiAt midi[] = {{0, 0xB0, 7, volume}, {10, 0x90, note, 127}};
    std::vector<float> out = rig.Run(512, midi).left;
    const std::vector<float> more = rig.Run(512).left;
    out.insert(out.end(), more.begin(), more.end());
    const MidiAt off[] = {{0, 0x80, note, 0}};
    rig.Run(512, off);
    return Rms(out);
  };
  const double loud = level(127, 60);
  const double quiet = level(16, 62);
  EXPECT_GT(loud, 1e-3);
  EXPECT_LT(quiet, loud * 0.5);
  EXPECT_NEAR(rig.Module()->Exposed(2)->NormalisedValue(), 16.0 * 128 / 16256, 1e-6);
}

TEST_F(DebianPlugins, PlayingKarsWithNotesAndControllersAllocatesNothingOnTheAudioThread) {
  HostedRig rig(KarsPatch(R"(, "values": {"MIDI Automation": "1"}, "hosted_automation": {"2": "CC 7"})"), kRate);
  ASSERT_TRUE(rig.ok());
  rig.Start(256);
  const MidiAt midi[] = {{3, 0xB0, 7, 100}, {17, 0x90, 60, 100}, {200, 0x80, 60, 0}, {201, 0xB0, 39, 5}};
  for (int block = 0; block < 4; ++block) rig.Run(256, midi);  // settled
  for (int block = 0; block < 8; ++block) {
    int allocations = -1;
    rig.Run(256, midi, {}, true, &allocations);
    EXPECT_EQ(allocations, 0) << "block " << block;
  }
}

TEST_F(DebianPlugins, KarsStateSurvivesKestrunesBankChunk) {
  HostedRig rig(KarsPatch(), kRate);
  ASSERT_TRUE(rig.ok());
  kr::parameter_vst* release = rig.Module()->Exposed(1);
  ASSERT_NE(release, nullptr);
  release->SetNormalisedValue(0.25f);
  TopContainer* top = rig.App().FindTopContainer();
  const auto span = top->GetChunk(false);
  const std::vector<std::uint8_t> bank(span.begin(), span.end());
  release->SetNormalisedValue(0.9f);
  top->SetChunk(bank, false);
  EXPECT_FLOAT_EQ(release->NormalisedValue(), 0.25f);
}

TEST_F(DebianPlugins, KarsStateSurvivesBankAndProgramFilesThroughThePanelsCommands) {
  HostedRig rig(KarsPatch(), kRate);
  ASSERT_TRUE(rig.ok());
  kr::VstPluginModule& kars = *rig.Module();
  kr::parameter_vst* sustain = kars.Exposed(0);
  ASSERT_NE(sustain, nullptr);
  const fs::path bankFile = rig.Folder() / "kars.fxb";
  const fs::path programFile = rig.Folder() / "kars.fxp";
  std::vector<platform::OpenFileRequest> asked;
  const auto previous = platform::SetFileChooser([&](const platform::OpenFileRequest& request) {
    asked.push_back(request);
    return std::optional<std::string>((request.extension == "fxb" ? bankFile : programFile).string());
  });
  sustain->SetNormalisedValue(1.0f);
  EXPECT_TRUE(kars.RunFileCommand(Ctl_VST_Plugin::kSaveBankCommand));
  sustain->SetNormalisedValue(0.0f);
  EXPECT_TRUE(kars.RunFileCommand(Ctl_VST_Plugin::kSaveProgramCommand));
  EXPECT_TRUE(kars.RunFileCommand(Ctl_VST_Plugin::kLoadBankCommand));
  EXPECT_FLOAT_EQ(sustain->NormalisedValue(), 1.0f);
  EXPECT_TRUE(kars.RunFileCommand(Ctl_VST_Plugin::kLoadProgramCommand));
  EXPECT_FLOAT_EQ(sustain->NormalisedValue(), 0.0f);
  platform::SetFileChooser(previous);
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_TRUE(asked[0].save);
  EXPECT_EQ(asked[0].extension, "fxb");
  EXPECT_FALSE(asked[2].save);
  EXPECT_EQ(asked[3].extension, "fxp");
}

}  // namespace
