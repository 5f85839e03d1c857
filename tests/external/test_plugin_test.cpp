// Our own test plug-in hosted in a patch: what it is told and when, MIDI in
// and out at their samples, the chunked mode, its calls from the audio
// thread, controller automation of its parameters, and plug-ins that give
// nothing, throw from their entry or break while playing.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "base/whole_file.h"
#include "document/notifier.h"
#include "engine/audio_master.h"
#include "external/parameter_vst.h"
#include "hosted_support.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

using namespace krtest;

std::string PluginField(const std::string& name, const std::string& more = "") {
  return R"("plugin": ")" + name + KR_TEST_VST_SUFFIX + "\"" + (more.empty() ? "" : ", " + more);
}

MidiAt Note(int offset, std::uint8_t note, std::uint8_t velocity = 100, std::uint8_t status = 0x90) {
  return {offset, status, note, velocity};
}
MidiAt Cc(int offset, std::uint8_t controller, std::uint8_t value) { return {offset, 0xB0, controller, value}; }

class TestPlugin : public ::testing::Test {
 protected:
  void SetUp() override { log.Clear(); }
  VstPathOverride path{KR_TEST_VST_DIR};
  VstLog log{TestVst("TestVst")};
};

// Counts value changes and notes whether one came while the plug-in processed.
struct ValueWatch final : Notifiable {
  void OnNotify(Notifier*, int code, void*) override {
    if (code == NC_PARAMETER_VALUE) ++told;
  }
  int told = 0;
};

TEST_F(TestPlugin, IsToldRateAndBlockSizeAroundResumeAndCloseBeforeItGoes) {
  {
    HostedRig rig(HostingPatch(PluginField("TestVst")));
    ASSERT_TRUE(rig.ok());
    ASSERT_NE(rig.Module(), nullptr);
    ASSERT_TRUE(rig.Module()->Wrapper().Loaded());
    rig.Start(64);
    rig.Run(64);
    rig.Stop();
  }
  const std::vector<std::string> expected = {"main", "open", "rate 44100", "block 64", "resume", "rate 44100",
                                             "block 64", "suspend", "close"};
  EXPECT_EQ(log.Lines(), expected);
  EXPECT_EQ(log.Stat("versionFromMain"), 2200);  // answered from inside its entry
  EXPECT_EQ(log.Stat("rateFromMain"), 44100);
}

TEST_F(TestPlugin, NotesReachItAtTheirSampleAndItsNotesLeaveThePatch) {
  HostedRig rig(HostingPatch(PluginField("TestVst")));
  ASSERT_TRUE(rig.ok());
  rig.Start(512);
  const std::vector<MidiAt> notes = {Note(37, 60), Note(300, 64, 127)};
  const HostedRig::Block block = rig.Run(512, notes);
  // Each note lands in the sub-block holding its sample, at its offset there.
  const int period = ComputeSubBlockLength(512);
  EXPECT_TRUE(log.Has("event " + std::to_string(37 % period) + " 90 3c 64"));
  EXPECT_TRUE(log.Has("event " + std::to_string(300 % period) + " 90 40 7f"));
  EXPECT_EQ(FirstSound(block.left), 37);
  EXPECT_FLOAT_EQ(block.left[37], 100.0f / 127.0f);
  EXPECT_FLOAT_EQ(block.left[300], 1.0f);
  // Sent back an octave up, as the plug-in sent them.
  EXPECT_EQ(block.midiOut, (std::vector<std::uint32_t>{0x644890u, 0x7F4C90u}));
  EXPECT_LE(log.Stat("maxFrames"), period);
}

TEST_F(TestPlugin, AlignedModeCallsItWith32SamplesAndQueuesMidi32SamplesLater) {
  HostedRig rig(HostingPatch(PluginField("TestVst", R"("values": {"Data Alignment Fix": "1"})")));
  ASSERT_TRUE(rig.ok());
  rig.Start(64);
  EXPECT_TRUE(log.Has("block 32"));  // the block size it is really given
  const std::vector<MidiAt> note = {Note(37, 60)};
  HostedRig::Block first = rig.Run(64, note);
  const HostedRig::Block second = rig.Run(64);
  first.left.insert(first.left.end(), second.left.begin(), second.left.end());
  EXPECT_EQ(log.Stat("maxFrames"), 32);
  // Queued for sample 69, it falls in the chunk of samples 64..95 at offset
  // 5; that chunk is played from sample 95 on.
  EXPECT_TRUE(log.Has("event 5 90 3c 64"));
  EXPECT_EQ(FirstSound(first.left), 100);
}

TEST_F(TestPlugin, ItsCallsFromTheAudioThreadAreAnsweredThereAndItsDisplayWorkWaitsForTheGuiSide) {
  HostedRig rig(HostingPatch(PluginField("TestVst")));
  ASSERT_TRUE(rig.ok());
  rig.Start(64);
  rig.Run(64);
  EXPECT_EQ(log.Stat("processLevel"), 2);   // realtime
  EXPECT_EQ(log.Stat("hostBlockSize"), 96);
  EXPECT_EQ(log.Stat("timeRate"), 44100);   // Kestrune's host time, passed on

  kr::parameter_vst* shift = rig.Module()->Exposed(1);
  ASSERT_NE(shift, nullptr);
  ValueWatch watch;
  shift->AddObserver(&watch);
  const std::vector<MidiAt> note = {Note(3, 100)};  // makes it automate "Shift" and update its display
  rig.Run(64, note, {}, false);
  EXPECT_EQ(watch.told, 0);  // nothing told on the audio thread
  rig.App().PumpGuiMessages();
  EXPECT_GE(watch.told, 1);
  EXPECT_FLOAT_EQ(shift->NormalisedValue(), 0.75f);
  shift->RemoveObserver(&watch);
}

TEST_F(TestPlugin, ControllersAutomateItsParametersAtTheirSample) {
  HostedRig rig(HostingPatch(PluginField("TestVst", R"("values": {"MIDI Automation": "1"},
      "hosted_automation": {"0": "CC 7", "1": "NRPN 3"})")));
  ASSERT_TRUE(rig.ok());
  rig.Start(64);
  const std::vector<MidiAt> cc = {Cc(10, 7, 127)};
  const HostedRig::Block block = rig.Run(64, cc);
  EXPECT_FLOAT_EQ(block.right[9], 0.5f);  // "Gain", as the plug-in plays it
  EXPECT_FLOAT_EQ(block.right[10], 1.0f);  // 127 x 128 / 16256
  const std::vector<MidiAt> fine = {Cc(0, 39, 64)};
  rig.Run(64, fine);
  // Above 1.0: the plug-in gets the 14-bit value as it is (the panel shows 1).
  EXPECT_TRUE(log.Has("set 0 " + std::to_string((127.0f * 128 + 64) / 16256.0f)));

  const std::vector<MidiAt> nrpn = {Cc(0, 99, 0), Cc(1, 98, 3), Cc(2, 6, 64)};
  rig.Run(64, nrpn);
  EXPECT_FLOAT_EQ(rig.Module()->Exposed(1)->NormalisedValue(), 64.0f * 128 / 16256.0f);
  const std::vector<MidiAt> rpn = {Cc(0, 101, 0), Cc(1, 100, 3), Cc(2, 6, 127)};
  rig.Run(64, rpn);  // an RPN selection clears the NRPN one
  EXPECT_FLOAT_EQ(rig.Module()->Exposed(1)->NormalisedValue(), 64.0f * 128 / 16256.0f);
}

TEST_F(TestPlugin, AChosenChannelPassesOnTheFirstChannelAndSystemMessagesNever) {
  HostedRig rig(HostingPatch(PluginField("TestVst", R"("values": {"Channel": "4"})")));
  ASSERT_TRUE(rig.ok());
  rig.Start(64);
  const std::vector<MidiAt> midi = {Note(1, 60, 100, 0x94), Note(2, 61, 100, 0x90), {3, 0xF8, 0, 0}};
  rig.Run(64, midi);
  EXPECT_TRUE(log.Has("event 1 90 3c 64"));
  for (const std::string& line : log.Lines()) {
    EXPECT_NE(line, "event 2 90 3d 64");
    EXPECT_EQ(line.find("event 3"), std::string::npos);
  }
}

// The patch around the plug-in: its input also passes straight to the right output.
std::string PatchPlayingOn(const std::string& plugin) {
  return HostingPatch(PluginField(plugin), R"([{"from": "io.Left In", "to": "vst.Signal in"},
      {"from": "vst.Signal Out", "to": "io.Left Out"}, {"from": "io.Left In", "to": "io.Right Out"}])");
}

void ExpectThePatchPlaysOn(HostedRig& rig) {
  rig.Start(64);
  const std::vector<float> in(64, 0.25f);
  const HostedRig::Block block = rig.Run(64, {}, in);
  EXPECT_FLOAT_EQ(block.right[10], 0.25f);
  EXPECT_EQ(FirstSound(block.left), -1);
}

// A plug-in whose entry fails is reported with its path, and the patch plays without it.
void ExpectEntryFailure(const std::string& plugin, const std::string& reason) {
  VstPathOverride path{KR_TEST_VST_DIR};
  krtest::MessageCapture messages;
  HostedRig rig(PatchPlayingOn(plugin));
  ASSERT_TRUE(rig.ok());
  EXPECT_EQ(messages.texts,
            (std::vector<std::string>{"Can't open VST Plugin. (" + reason + "). (" + TestVst(plugin).string() + ")."}));
  EXPECT_EQ(rig.Module()->FaceText(), "LOAD ERROR");
  ExpectThePatchPlaysOn(rig);
}

TEST(HostedPluginFailures, AnEntryGivingNothingIsToldAndThePatchPlaysOnWithoutIt) {
  ExpectEntryFailure("TestVstNull", "not a vst plugin");
}

TEST(HostedPluginFailures, AnEntryThatThrowsIsToldAndThePatchPlaysOnWithoutIt) {
  ExpectEntryFailure("TestVstThrows", "Plugin Entrypoint call failed");
}

TEST(HostedPluginFailures, APluginThatThrowsWhilePlayingFallsSilentAndIsToldOnce) {
  VstPathOverride path{KR_TEST_VST_DIR};
  krtest::MessageCapture messages;
  HostedRig rig(PatchPlayingOn("TestVstBreaks"));
  ASSERT_TRUE(rig.ok());
  rig.Start(64);
  const std::vector<float> in(64, 0.25f);
  HostedRig::Block block = rig.Run(64, {}, in);
  EXPECT_FLOAT_EQ(block.left[0], 0.25f);  // gain 0.5 x 2
  rig.Run(64, {}, in);
  block = rig.Run(64, {}, in);  // its third call throws
  EXPECT_EQ(FirstSound(block.left), -1);
  EXPECT_FLOAT_EQ(block.right[5], 0.25f);
  block = rig.Run(64, {}, in);
  EXPECT_EQ(FirstSound(block.left), -1);
  EXPECT_EQ(messages.texts, (std::vector<std::string>{"VST Plugin failed while playing and is left out. (" +
                                                      TestVst("TestVstBreaks").string() + ")."}));
  EXPECT_TRUE(rig.Module()->Wrapper().Broken());
}

}  // namespace

namespace {

using namespace krtest;

TEST(HostedPluginBindings, ABindingMadeWhileSoundRunsTakesTheNextController) {
  VstPathOverride path{KR_TEST_VST_DIR};
  HostedRig rig(HostingPatch(std::string(R"("plugin": "TestVst)") + KR_TEST_VST_SUFFIX +
                             R"(", "values": {"MIDI Automation": "1"})"));
  ASSERT_TRUE(rig.ok());
  rig.Start(64);
  const std::vector<MidiAt> cc = {{5, 0xB0, 7, 127}};
  rig.Run(64, cc);
  EXPECT_FLOAT_EQ(rig.Module()->Exposed(0)->NormalisedValue(), 0.5f);  // bound to nothing yet
  rig.Module()->Exposed(0)->SetMidiController(7);
  rig.Run(64, cc);
  EXPECT_FLOAT_EQ(rig.Module()->Exposed(0)->NormalisedValue(), 1.0f);
}

TEST(HostedPluginFile, ChangingTheFileStopsTheSoundFirstAndAChangedFileIsLoadedAgain) {
  krtest::TempDir folder;
  const fs::path copy = folder.path() / ("Swapped" + std::string(KR_TEST_VST_SUFFIX));
  fs::copy_file(TestVst("TestVst"), copy);
  VstPathOverride path{folder.path().string()};
  HostedRig rig(HostingPatch(std::string(R"("plugin": "Swapped)") + KR_TEST_VST_SUFFIX + "\""));
  ASSERT_TRUE(rig.ok());
  kr::VstPluginModule& m = *rig.Module();
  EXPECT_EQ(m.FaceText(), "");
  rig.Start(64);
  EXPECT_FALSE(m.SetPluginFile("Other.so"));  // sound runs and nothing may stop it
  EXPECT_TRUE(m.Wrapper().Loaded());
#if defined(_WIN32)
  GTEST_SKIP() << "a loaded library's file cannot be replaced on Windows";
#endif
  // A newer file in its place (written again: Wine refuses to set file times).
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  ASSERT_TRUE(kr::WriteWholeFile(copy.string(), kr::ReadWholeFile(copy.string()).value()));
  bool stopped = false;
  EXPECT_TRUE(m.ReloadIfChanged([&] {
    stopped = true;
    rig.Stop();
  }));
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(m.Wrapper().Loaded());
  EXPECT_EQ(m.FaceText().rfind("CREATED ", 0), 0u);
  EXPECT_FALSE(m.ReloadIfChanged({}));  // unchanged since
  rig.Start(64);
  stopped = false;
  EXPECT_TRUE(m.SetPluginFile(std::string("Missing") + KR_TEST_VST_SUFFIX, [&] {
    stopped = true;
    rig.Stop();
  }) == false);
  EXPECT_TRUE(stopped);
  EXPECT_EQ(m.FaceText(), "LOAD ERROR");
}

}  // namespace
