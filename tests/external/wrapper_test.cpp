// The wrapper and the host callback without a patch: routing calls to the
// wrapper they belong to, what the callback answers, the parameters and
// programs a module exposes, and where a document's plug-in is looked for.
#include <atomic>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "base/path_names.h"
#include "external/library_registration.h"
#include "external/parameter_vst.h"
#include "external/vst_wrapper.h"
#include "external/vst_wrapper_list.h"
#include "hosted_support.h"
#include "registry/module_registry.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

using namespace krtest;

// A module's side of the callback that only counts what it is asked.
class CountingHost final : public kr::VST_HostApp {
 public:
  void RequestIdle() override { ++idle; }
  void StopIdle() override {}
  void OnPluginEvents(const vst::VstEvents*) override {}
  vst::VstIntPtr OnPluginSetTime(vst::VstTimeInfo*) override { return 0; }
  const vst::VstTimeInfo* GetTime(std::int32_t) override { return nullptr; }
  int GetSampleRate() override { return rate; }
  std::optional<std::string> SelectFile(bool, const std::string&) override { return std::nullopt; }
  void OnAutomated(int index, float) override { automated = index; }
  void OnUpdateDisplay() override {}
  bool OnSizeWindow(int, int) override { return true; }
  void OnIoChanged() override {}
  int rate = 48000;
  int idle = 0;
  int automated = -1;
};

vst::VstIntPtr Call(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                    void* ptr = nullptr) {
  return kr::HostCallback(effect, opcode, index, value, ptr, 0.0f);
}

TEST(HostCallback, EachPluginIsAnsweredByItsOwnWrapperFromInsideItsEntryOnAndNobodyElses) {
  VstLog log(TestVst("TestVst"));
  CountingHost first, second;
  second.rate = 96000;
  kr::VST_Wrapper a(&first), b(&second);
  ASSERT_EQ(a.Load(TestVst("TestVst").string()), 0);
  EXPECT_EQ(log.Stat("rateFromMain"), 48000);  // from inside its entry: the wrapper loading it
  ASSERT_EQ(b.Load(TestVst("TestVst").string()), 0);
  EXPECT_EQ(log.Stat("rateFromMain"), 96000);
  EXPECT_EQ(Call(a.Effect(), vst::audioMasterGetSampleRate), 48000);
  EXPECT_EQ(Call(b.Effect(), vst::audioMasterGetSampleRate), 96000);
  Call(b.Effect(), vst::audioMasterAutomate, 7);
  EXPECT_EQ(second.automated, 7);
  EXPECT_EQ(first.automated, -1);
  vst::AEffect stranger{};
  EXPECT_EQ(Call(&stranger, vst::audioMasterGetSampleRate), 0);
  const int listed = kr::VST_Wrapper_List::Get().Count();
  b.Unload();
  EXPECT_EQ(kr::VST_Wrapper_List::Get().Count(), listed - 1);
  EXPECT_EQ(Call(a.Effect(), vst::audioMasterGetSampleRate), 48000);
}

TEST(HostCallback, RoutesCallsFromAnotherThreadWhileWrappersComeAndGo) {
  VstLog log(TestVst("TestVst"));
  CountingHost steady, coming;
  coming.rate = 96000;
  kr::VST_Wrapper playing(&steady);
  ASSERT_EQ(playing.Load(TestVst("TestVst").string()), 0);
  std::atomic<bool> done{false};
  std::atomic<int> wrong{0}, calls{0};
  std::thread audio([&] {
    while (!done.load()) {
      if (Call(playing.Effect(), vst::audioMasterGetSampleRate) != 48000) ++wrong;
      ++calls;
    }
  });
  for (int i = 0; i < 40; ++i) {
    kr::VST_Wrapper other(&coming);
    ASSERT_EQ(other.Load(TestVst("TestVst").string()), 0);
    EXPECT_EQ(log.Stat("rateFromMain"), 96000);  // its own, while the other thread calls
  }
  while (calls.load() < 1000) std::this_thread::yield();
  done = true;
  audio.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST(HostCallback, AnswersWhatPluginsAsk) {
  CountingHost host;
  kr::VST_Wrapper wrapper(&host);
  ASSERT_EQ(wrapper.Load(TestVst("TestVst").string()), 0);
  vst::AEffect* e = wrapper.Effect();
  char text[300] = {};
  EXPECT_EQ(Call(e, vst::audioMasterVersion), 2200);
  EXPECT_EQ(Call(e, vst::audioMasterGetBlockSize), 96);
  EXPECT_EQ(Call(e, vst::audioMasterWantMidi), 1);
  EXPECT_EQ(Call(e, vst::audioMasterGetCurrentProcessLevel), 1);  // not from processing
  Call(e, vst::audioMasterGetVendorString, 0, 0, text);
  EXPECT_STREQ(text, "Harbrook");
  Call(e, vst::audioMasterGetProductString, 0, 0, text);
  EXPECT_STREQ(text, "Kestrune");
  EXPECT_STREQ(reinterpret_cast<const char*>(Call(e, vst::audioMasterGetDirectory)), TestVst("TestVst").string().c_str());
  char sendTime[] = "sendVstTimeInfo";
  char offline[] = "offline";
  EXPECT_EQ(Call(e, vst::audioMasterCanDo, 0, 0, sendTime), 1);
  EXPECT_EQ(Call(e, vst::audioMasterCanDo, 0, 0, offline), 0);
  EXPECT_EQ(Call(e, vst::audioMasterNeedIdle), 0);
  EXPECT_TRUE(wrapper.needIdle.load());
  EXPECT_EQ(host.idle, 1);
  EXPECT_EQ(Call(e, vst::audioMasterIOChanged), 1);
  EXPECT_EQ(Call(e, vst::audioMasterGetTime), 0);  // no audio object: none
  EXPECT_EQ(Call(e, 1234), 0);
}

TEST(HostedModule, ExposesNamedParametersThenProgramNameAndProgram) {
  VstPathOverride path{KR_TEST_VST_DIR};
  HostedRig rig(HostingPatch(std::string(R"("plugin": "TestVst)") + KR_TEST_VST_SUFFIX + "\""));
  ASSERT_TRUE(rig.ok());
  kr::VstPluginModule& m = *rig.Module();
  EXPECT_EQ(m.ExposedCount(), 41);
  EXPECT_NE(m.Exposed(32), nullptr);
  EXPECT_EQ(m.Exposed(39), nullptr);  // "invalid index"
  EXPECT_EQ(m.Exposed(40), nullptr);  // no name, above 32
  EXPECT_EQ(m.Exposed(0)->Name(), "Gain");
  EXPECT_EQ(m.Exposed(0)->DisplayText(), "50");
  EXPECT_EQ(m.Exposed(0)->Label(), "%");
  EXPECT_EQ(m.Exposed(0)->ValueText(), "0.500000");
  const int first = m.ParameterCount() - 2;
  EXPECT_EQ(m.ParameterAt(first)->Name(), "Program Name");
  EXPECT_EQ(m.ParameterAt(first)->ItemList(), "Alpha,Beta,Gamma");
  EXPECT_EQ(m.ParameterAt(first + 1)->Name(), "Program");
  m.ParameterAt(first + 1)->SetValueText("2");
  EXPECT_EQ(m.ParameterAt(first)->ValueText(), "Gamma");
  m.ParameterAt(first)->SetValueText("Renamed");
  EXPECT_EQ(m.Wrapper().programNames[2], "Renamed");
  // One "Signal in" plug per input, one "Signal Out" per output; it sends MIDI.
  int ins = 0, outs = 0;
  for (const auto& plug : m.Plugs()) {
    ins += plug->Name() == "Signal in";
    outs += plug->Name() == "Signal Out";
  }
  EXPECT_EQ(ins, 1);
  EXPECT_EQ(outs, 2);
  EXPECT_FALSE(m.MidiOutHidden());
}

class PluginSearch : public ::testing::Test {
 protected:
  fs::path Copy(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder);
    fs::copy_file(TestVst("TestVst"), folder / name, fs::copy_options::overwrite_existing);
    return folder / name;
  }
  krtest::TempDir dir;
};

TEST_F(PluginSearch, RegisteredLibraryPathsComeFirstThenTheVstPathByFileNameOfEitherSeparator) {
  const fs::path registered = Copy(dir.path() / "registered", "Searched.dll");
  const fs::path onPath = Copy(dir.path() / "onpath", "Searched.dll");
  Copy(dir.path() / "onpath", "Other.dll");
  VstPathOverride path{(dir.path() / "nothing").string() + (platform::PathSeparator() == '\\' ? ";" : ":") +
                       (dir.path() / "onpath").string()};
  kr::VstPluginModule module(ModuleRegistry::Get().FindByName("VST Plugin"));
  // Letter case aside (Windows' own lookup keeps the case asked for).
  const std::optional<std::string> other = module.FindPluginFile("C:\\plugins\\OTHER.DLL");
  ASSERT_TRUE(other.has_value());
  EXPECT_TRUE(kr::EqualsIgnoringCase(*other, (dir.path() / "onpath" / "Other.dll").string()));
  EXPECT_EQ(module.FindPluginFile("/usr/lib/vst/Searched.dll"), onPath.string());
  krtest::MessageCapture quiet;
  kr::RegisterModuleLibrary(registered.string());  // ".dll" files are only listed
  EXPECT_EQ(module.FindPluginFile("x\\searched.dll"), registered.string());
  EXPECT_FALSE(module.FindPluginFile("Missing.dll").has_value());
  EXPECT_TRUE(module.LoadByName("C:/anywhere/Other.dll"));
  EXPECT_TRUE(module.Wrapper().Loaded());
}

}  // namespace
