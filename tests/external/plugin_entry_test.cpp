// Library modules played through the plug-in's VST 2 entry, as a host
// plays them: from a library beside the plug-in, from one embedded in the
// document (beside the plug-in or in the per-user cache), with the order of
// calls a library sees, its host callback, broken libraries and two
// plug-in copies sharing one library.
#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "document/embedded_files.h"
#include "external/library_registration.h"
#include "external_support.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using namespace krtest;

const std::string kPluginExtension = fs::path(KR_PLUGIN_PATH).extension().string();

std::string GainPatch(const std::string& embedded = "[]") {
  return ChainPatch("Test Gain", "Signal In", "Signal Out", R"({"Gain": "0.25"})", embedded);
}

void ExpectGainOutput(const Rendered& out) {
  ASSERT_EQ(out.left.size(), 64u);
  for (int i = 0; i < 64; ++i) {
    ASSERT_EQ(out.left[static_cast<std::size_t>(i)], RampInput(0, i) * 0.25f) << "sample " << i;
    ASSERT_EQ(out.right[static_cast<std::size_t>(i)], RampInput(1, i)) << "sample " << i;
  }
}

class LibraryThroughPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    // This process compiles the patches: it must know the modules' names.
    krtest::MessageCapture quiet;  // a copy registered by another test is found twice
    for (const char* library : {"TestGain.krm", "TestLogger1.krp", "TestLogger2.krm", "TestHostCaller.krm"})
      kr::RegisterModuleLibrary(Built(library).string());
  }
  fs::path Export(const std::string& json, const std::string& name) {
    const fs::path plugin = ExportPlugin(CompilePatch(json), dir.path(), name + kPluginExtension);
    EXPECT_FALSE(plugin.empty());
    return plugin;
  }
  void Play(const fs::path& plugin, HostHarness& host) {
    ASSERT_TRUE(host.Load(plugin.string())) << host.Error();
    ASSERT_NE(host.CallMain(), nullptr);
    StartSound(host);
  }

  krtest::TempDir dir;
};

TEST_F(LibraryThroughPlugin, AGainLibraryBesideThePluginPlaysItsModule) {
  const fs::path plugin = Export(GainPatch(), "GainBeside");
  CopyBuilt("TestGain.krm", FolderBeside(plugin));
  HostHarness host;
  Play(plugin, host);
  ExpectGainOutput(RunRamp(host));
  ExpectGainOutput(RunRamp(host));
}

TEST_F(LibraryThroughPlugin, AGainLibraryEmbeddedInTheDocumentIsWrittenBesideThePluginAndPlays) {
  const fs::path plugin = Export(GainPatch(R"([{"name": "TestGain.krm", "path": "TestGain.krm"}])"), "GainEmbedded");
  HostHarness host;
  Play(plugin, host);
  EXPECT_TRUE(fs::exists(FolderBeside(plugin) / "TestGain.krm"));
  ExpectGainOutput(RunRamp(host));
}

TEST_F(LibraryThroughPlugin, WhereTheFolderBesideCannotBeMadeTheLibraryGoesToTheCacheUnderItsHash) {
  const fs::path plugin = Export(GainPatch(R"([{"name": "TestGain.krm", "path": "TestGain.krm"}])"), "GainCached");
  std::ofstream(FolderBeside(plugin)) << "a file where the folder would be";
  CacheFolderOverride cache(dir.path() / "cache");
  HostHarness host;
  Play(plugin, host);
  ExpectGainOutput(RunRamp(host));
  std::ifstream in(Built("TestGain.krm"), std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const fs::path cached = dir.path() / "cache" / "Kestrune" / "libraries" / kr::ContentHashName(bytes) / "TestGain.krm";
  EXPECT_TRUE(fs::exists(cached)) << cached;
}

std::string LoggerPatch(const std::string& module) {
  return R"({"kestrune_patch": 1, "settings": {"id": "KxLg"}, "root": {"title": "Main", "modules": [
    {"module": "Container", "id": "synth", "title": "Synth",
     "plugs": [{"name": "MIDI In", "direction": "in", "type": "midi"}, {"name": "Left In", "direction": "in"},
               {"name": "Right In", "direction": "in"}, {"name": "Left Out", "direction": "out"},
               {"name": "Right Out", "direction": "out"}],
     "modules": [{"module": ")" +
         module + R"(", "id": "log", "values": {"Level": "1", "Name": "hello"}}],
     "wires": [{"from": "io.MIDI In", "to": "log.MIDI In"}, {"from": "io.Left In", "to": "log.In"},
               {"from": "log.Out", "to": "io.Left Out"}, {"from": "io.Right In", "to": "io.Right Out"}]}]}})";
}

// The lines about processing and MIDI, in order.
std::vector<std::string> ProcessAndMidi(const std::vector<std::string>& log) {
  std::vector<std::string> kept;
  for (const auto& line : log)
    if (line.starts_with("process") || line.find(" type 2 ") != std::string::npos) kept.push_back(line);
  return kept;
}

class CallOrder : public LibraryThroughPlugin {
 protected:
  std::vector<std::string> Run(const std::string& module, const std::string& file) {
    const fs::path plugin = Export(LoggerPatch(module), "Log" + file.substr(0, file.find('.')));
    library = CopyBuilt(file, FolderBeside(plugin));
    held = std::make_unique<HeldLibrary>(library);  // its log outlives the sound
    Play(plugin, host);
    const MidiAt notes[] = {{10, 0x90, 60, 100}, {30, 0x80, 60, 0}};
    RunRamp(host, notes);
    host.Dispatch(vst::effMainsChanged, 0, 0);
    return CallLog(library);
  }
  fs::path library;
  std::unique_ptr<HeldLibrary> held;
  HostHarness host;
};

TEST_F(CallOrder, TheSecondInterfaceIsOpenedThenProcessedInStretchesCutAtEventTimes) {
  const auto log = Run("Test Logger 2", "TestLogger2.krm");
  const auto first = std::find(log.begin(), log.end(), "rate 48000");
  ASSERT_NE(first, log.end());
  const std::vector<std::string> opening{"rate 48000", "block 64", "open 1"};
  EXPECT_TRUE(std::equal(opening.begin(), opening.end(), first)) << ::testing::PrintToString(log);
  // The inputs' first values reach the library at time 0, the text pin as its copy.
  EXPECT_NE(std::find(first, log.end(), "event 0 type 0 value 1 index 0 pin 1"), log.end());
  EXPECT_NE(std::find(first, log.end(), "name hello"), log.end());
  EXPECT_EQ(ProcessAndMidi(log),
            (std::vector<std::string>{"process 0 10", "event 10 type 2 value 6569104 index 0 pin 0", "process 10 20",
                                      "event 30 type 2 value 15488 index 0 pin 0", "process 30 34"}));
  EXPECT_EQ(log.back(), "close");
  EXPECT_EQ(std::count(log.begin(), log.end(), "main called"), 0);
}

TEST_F(CallOrder, TheFirstInterfaceGetsTheStretchsEventsThenOneProcessCall) {
  const auto log = Run("Test Logger 1", "TestLogger1.krp");
  EXPECT_EQ(ProcessAndMidi(log),
            (std::vector<std::string>{"event 10 type 2 value 6569104 index 0 pin 0",
                                      "event 30 type 2 value 15488 index 0 pin 0", "process 0 64"}));
  EXPECT_EQ(log.back(), "close");
}

TEST_F(LibraryThroughPlugin, TheHostCallbackAnswersAndChecksWhatTheLibraryAsks) {
  const fs::path plugin = Export(ChainPatch("Test Host Caller", "In", "Out", R"({"File": "take"})"), "Caller");
  const fs::path library = CopyBuilt("TestHostCaller.krm", FolderBeside(plugin));
  HostHarness host;
  Play(plugin, host);
  const Rendered out = RunRamp(host);
  EXPECT_EQ(out.left[5], RampInput(0, 5));
  RunRamp(host);  // the event it queued for itself comes with the next stretch it runs
  const auto log = CallLog(library);
  // Made while the record did not name the object yet: the object being made answers.
  EXPECT_NE(std::find(log.begin(), log.end(), "version while made 95820"), log.end());
  const std::vector<std::string> expected{"version 95820",
                                          "unknown 0",
                                          "host version 2400",
                                          "clock is period start 1",
                                          "audio 1 in 1 out, 5 plugs",
                                          "out connected 1, bad pin connected 0",
                                          "out buffer is mine 1, bad pin buffer 0",
                                          "status ready",
                                          "file name 7 characters, terminated 1",
                                          "file name to a text-less pin 0",
                                          "first voice is me 1, next voice 0",
                                          "queued 1",
                                          "own event at 5 value 7 index 3"};
  const auto start = std::find(log.begin(), log.end(), "version 95820");
  ASSERT_NE(start, log.end()) << ::testing::PrintToString(log);
  EXPECT_EQ(std::vector<std::string>(start, log.end()), expected);
}

TEST_F(LibraryThroughPlugin, BrokenLibrariesAndAMissingModuleLeaveTheRestPlaying) {
  // The document names "Test Gain" but the plug-in has only broken libraries.
  const fs::path plugin = Export(GainPatch(), "Broken");
  const fs::path beside = FolderBeside(plugin);
  for (const char* broken : {"NoExports.krm", "EndlessPins.krp", "WrongMagic.krm"}) CopyBuilt(broken, beside);
#if !defined(_WIN32)
  krtest::PluginMessageCapture messages;
#endif
  HostHarness host;
  Play(plugin, host);
  const Rendered out = RunRamp(host);
  for (int i = 0; i < 64; ++i) {
    ASSERT_EQ(out.left[static_cast<std::size_t>(i)], 0.0f);  // the missing module's output leads nowhere
    ASSERT_EQ(out.right[static_cast<std::size_t>(i)], RampInput(1, i));
  }
#if !defined(_WIN32)
  const std::string shown = messages.Finish();
  using Line = krtest::PluginMessageCapture;
  EXPECT_NE(shown.find(Line::Line("Can't load KR Plugin(more than 256 pins). (" +
                                  (beside / "EndlessPins.krp").string() + ").")),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find(Line::Line("Can't load KR Plugin. (dosn't export 'main()' function). (" +
                                  (beside / "NoExports.krm").string() + ").")),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find(Line::Line("Can't load Module. 'Test Gain'")), std::string::npos) << shown;
#endif
}

TEST_F(LibraryThroughPlugin, TwoCopiesOfThePluginShareTheLibraryAndOneClosesWhileTheOtherPlays) {
  const fs::path plugin = Export(GainPatch(), "Twice");
  CopyBuilt("TestGain.krm", FolderBeside(plugin));
#if !defined(_WIN32)
  krtest::PluginMessageCapture messages;
#endif
  HostHarness second;
  {
    HostHarness first;
    Play(plugin, first);
    Play(plugin, second);
    ExpectGainOutput(RunRamp(first));
    ExpectGainOutput(RunRamp(second));
    first.Dispatch(vst::effMainsChanged, 0, 0);
  }  // the first copy closes
  ExpectGainOutput(RunRamp(second));
  ExpectGainOutput(RunRamp(second));
#if !defined(_WIN32)
  EXPECT_EQ(messages.Finish(), "");  // no second registration message
#endif
}

TEST_F(LibraryThroughPlugin, TwoExportedPluginsCarryingOneLibraryShareItsCacheCopy) {
  const std::string embedded = R"([{"name": "TestGain.krm", "path": "TestGain.krm"}])";
  const fs::path a = Export(GainPatch(embedded), "CopyA");
  const fs::path b = Export(GainPatch(embedded), "CopyB");
  std::ofstream(FolderBeside(a)) << "blocked";
  std::ofstream(FolderBeside(b)) << "blocked";
  CacheFolderOverride cache(dir.path() / "cache");
  HostHarness hostB;
  {
    HostHarness hostA;
    Play(a, hostA);
    Play(b, hostB);
    ExpectGainOutput(RunRamp(hostA));
    ExpectGainOutput(RunRamp(hostB));
  }
  ExpectGainOutput(RunRamp(hostB));
  std::size_t copies = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path() / "cache"))
    copies += entry.path().filename() == "TestGain.krm";
  EXPECT_EQ(copies, 1u);
}

}  // namespace
