// What each dispatcher opcode and parameter entry does and answers.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "shell_fakes.h"

using namespace kr;

using namespace vst;
using krtest::Param;
using krtest::ShellFixtureState;

namespace {

class Dispatcher : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.Create()); }
  VstIntPtr D(VstInt32 op, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return s.host.Dispatch(op, index, value, ptr, opt);
  }
  ShellFixtureState s;
};

TEST_F(Dispatcher, FixedAnswers) {
  EXPECT_EQ(D(effOpen), 0);
  EXPECT_EQ(D(effIdentify), 0x4E764566);
  EXPECT_EQ(D(effGetVu), 0);
  EXPECT_EQ(D(effString2Parameter, 0, 0, const_cast<char*>("1")), 0);
  EXPECT_EQ(D(effGetNumProgramCategories), 1);
  EXPECT_EQ(D(effConnectInput), 1);
  EXPECT_EQ(D(effConnectOutput), 1);
  EXPECT_EQ(D(effGetInputProperties), 0);
  EXPECT_EQ(D(effSetBypass, 0, 1), 0);
  EXPECT_EQ(D(effGetErrorText), 0);
  EXPECT_EQ(D(effGetVendorVersion), 1);
  EXPECT_EQ(D(effVendorSpecific), 0);
  EXPECT_EQ(D(effGetTailSize), 0);
  EXPECT_EQ(D(effKeysRequired), 1);
  EXPECT_EQ(D(effGetVstVersion), 2300);
  EXPECT_EQ(D(effGetCurrentMidiProgram), -1);
  EXPECT_EQ(D(effSetTotalSampleToProcess, 0, 12345), 12345);
  for (VstInt32 op : {16, 17, 18, 20, 21, 36, 37, 38, 39, 40, 41, 42, 54, 55, 56, 62, 64, 65, 66, 67, 68, 70, 71,
                      72, 74, 75, 76, 77, 1000, -1})
    EXPECT_EQ(D(op), 0) << "opcode " << op;
}

TEST_F(Dispatcher, SpeakerArrangementIsClearedToNull) {
  void* input = &s;
  void* output = &s;
  EXPECT_EQ(D(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
  EXPECT_EQ(input, nullptr);
  EXPECT_EQ(output, nullptr);
}

TEST_F(Dispatcher, ProgramsSelectOnlyInRange) {
  EXPECT_EQ(D(effSetProgram, 0, 7), 0);
  EXPECT_EQ(D(effGetProgram), 7);
  EXPECT_EQ(s.world.containerProgram, 7);
  D(effSetProgram, 0, 16);  // 16 programs: 0..15
  D(effSetProgram, 0, -1);
  D(effSetProgram, 0, static_cast<VstIntPtr>(0x100000003LL & static_cast<std::uint64_t>(~VstIntPtr{0})));
  EXPECT_EQ(D(effGetProgram), 7);
  EXPECT_EQ(s.world.containerProgram, 7);
}

TEST_F(Dispatcher, ProgramNamesAreCutToTheHostBuffer) {
  s.world.programNames[2] = "A very long program name that goes on";
  D(effSetProgram, 0, 2);
  char name[64];
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(D(effGetProgramName, 0, 0, name), 0);
  EXPECT_STREQ(name, "A very long program nam");  // 23 characters and the terminator
  EXPECT_EQ(name[24], 'x');

  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(D(effGetProgramNameIndexed, 2, 99, name), 1);
  EXPECT_STREQ(name, "A very long program nam");
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(D(effGetProgramNameIndexed, 16, 0, name), 0);  // no such program: the buffer is not touched
  EXPECT_EQ(name[0], 'x');

  char renamed[] = "Bass";
  EXPECT_EQ(D(effSetProgramName, 0, 0, renamed), 0);
  EXPECT_EQ(s.world.programNames[2], "Bass");
  EXPECT_EQ(D(effSetProgramName, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, CopyProgramAnswersWhatTheContainerDid) {
  D(effSetProgram, 0, 3);
  EXPECT_EQ(D(effCopyProgram, 9), 1);
  EXPECT_EQ(s.world.log.back(), "CopyProgram 3 to 9");
  s.world.copyProgramSucceeds = false;
  EXPECT_EQ(D(effCopyProgram, 10), 0) << "a copy that did not happen is not reported as done";
  EXPECT_EQ(D(effCopyProgram, 16), 0);
  EXPECT_EQ(s.world.log.back(), "CopyProgram 3 to 10");
}

#if !defined(_WIN32)
// Linux hosts speak UTF-8: names travel unchanged and are cut between
// characters, never inside one.
TEST_F(Dispatcher, ProgramNamesAreUtf8CutBetweenCharacters) {
  D(effSetProgram, 0, 4);
  char accented[] = "Caf\xC3\xA9 Cr\xC3\xA8me";
  EXPECT_EQ(D(effSetProgramName, 0, 0, accented), 0);
  EXPECT_EQ(s.world.programNames[4], accented);
  char name[64];
  EXPECT_EQ(D(effGetProgramName, 0, 0, name), 0);
  EXPECT_STREQ(name, accented);
  // 22 ASCII bytes, then a two-byte character that would end at byte 24.
  s.world.programNames[4] = "abcdefghijklmnopqrstuv\xC3\xA9z";
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(D(effGetProgramName, 0, 0, name), 0);
  EXPECT_STREQ(name, "abcdefghijklmnopqrstuv");
}
#endif

TEST_F(Dispatcher, ChunksGoToTheContainer) {
  void* data = nullptr;
  EXPECT_EQ(D(effGetChunk, 1, 0, &data), 5);
  EXPECT_EQ(data, s.world.chunk.data());
  EXPECT_EQ(s.world.log.back(), "GetChunk preset");
  EXPECT_EQ(D(effGetChunk, 0, 0, &data), 5);
  EXPECT_EQ(s.world.log.back(), "GetChunk bank");
  EXPECT_EQ(D(effGetChunk, 0, 0, nullptr), 0);

  std::uint8_t bytes[3] = {9, 8, 7};
  s.world.setChunkResult = 42;
  EXPECT_EQ(D(effSetChunk, 0, 3, bytes), 42);
  EXPECT_EQ(s.world.log.back(), "SetChunk bank");
  EXPECT_EQ(s.world.receivedChunk, (std::vector<std::uint8_t>{9, 8, 7}));
  EXPECT_EQ(D(effSetChunk, 1, 2, bytes), 42);
  EXPECT_EQ(s.world.log.back(), "SetChunk preset");
  // A negative size or a missing buffer never reaches the container.
  s.world.log.clear();
  EXPECT_EQ(D(effSetChunk, 0, -5, bytes), 0);
  EXPECT_EQ(D(effSetChunk, 0, 10, nullptr), 0);
  EXPECT_TRUE(s.world.log.empty());
}

TEST_F(Dispatcher, CapabilityQuery) {
  auto canDo = [&](const char* text) { return D(effCanDo, 0, 0, const_cast<char*>(text)); };
  EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(canDo("sendVstMidiEvent"), 1);
  EXPECT_EQ(canDo("sendVstTimeInfo"), -1);
  EXPECT_EQ(canDo("receiveVstTimeInfo"), 0);
  EXPECT_EQ(canDo("receiveVstMidiEvents"), 0);
  EXPECT_EQ(canDo(""), 0);
  EXPECT_EQ(D(effCanDo, 0, 0, nullptr), 0);

  s.world.midiIn = false;
  s.world.midiOut = false;
  s.world.settings.flags = PLUGIN_SENDS_TIME_INFO;
  EXPECT_EQ(canDo("receiveVstMidiEvent"), -1);
  EXPECT_EQ(canDo("sendVstMidiEvent"), -1);
  EXPECT_EQ(canDo("sendVstTimeInfo"), 1);
}

TEST_F(Dispatcher, NamesAndVendorTexts) {
  s.world.name = "An effect name of more than thirty-one characters";
  s.world.settings.vendor = std::string(100, 'v');
  char text[128];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(D(effGetEffectName, 0, 0, text), 1);
  EXPECT_EQ(std::string(text), "An effect name of more than thi");
  EXPECT_EQ(std::strlen(text), 31u);
  EXPECT_EQ(D(effGetVendorString, 0, 0, text), 1);
  EXPECT_EQ(std::string(text), std::string(63, 'v'));
  EXPECT_EQ(D(effGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "");
}

TEST_F(Dispatcher, OutputPinProperties) {
  VstPinProperties pin;
  std::memset(&pin, 0x55, sizeof pin);
  EXPECT_EQ(D(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Right");
  EXPECT_STREQ(pin.shortLabel, "Right");
  EXPECT_EQ(pin.flags, kVstPinIsActive);  // stereo pairs bit clear
  EXPECT_EQ(pin.arrangementType, 0);
  EXPECT_EQ(pin.future[47], 0);

  std::memset(&pin, 0x55, sizeof pin);
  EXPECT_EQ(D(effGetOutputProperties, 2, 0, &pin), 0);
  const VstPinProperties cleared{};
  EXPECT_EQ(std::memcmp(&pin, &cleared, sizeof pin), 0);
  EXPECT_EQ(D(effGetOutputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(D(effGetOutputProperties, 0, 0, nullptr), 0);
}

TEST(DispatcherPins, StereoPairsOnlyForAnEvenCountOfTwoOrMore) {
  const std::string longName(80, 'n');
  for (auto [outs, pairs, expected] : {std::tuple{2, true, 3}, std::tuple{2, false, 1}, std::tuple{3, true, 1},
                                       std::tuple{1, true, 1}, std::tuple{4, true, 3}}) {
    ShellFixtureState s;
    s.world.audioOuts.assign(static_cast<std::size_t>(outs), longName);
    s.world.settings.flags = pairs ? std::uint32_t{PLUGIN_STEREO_PAIRS} : 0u;
    ASSERT_TRUE(s.Create());
    VstPinProperties pin{};
    EXPECT_EQ(s.host.Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, expected) << outs << " outputs, pairs " << pairs;
    EXPECT_EQ(std::string(pin.label), std::string(63, 'n'));
    EXPECT_EQ(std::string(pin.shortLabel), std::string(7, 'n'));
  }
}

TEST_F(Dispatcher, EditorCalls) {
  ERect* rect = nullptr;
  EXPECT_EQ(D(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right, 400);
  EXPECT_EQ(D(effEditOpen, 0, 0, this), 1);
  EXPECT_EQ(D(effEditIdle), 0);
  EXPECT_EQ(s.world.log.back(), "editor Idle");
  EXPECT_EQ(D(effEditKeyDown, 65, 12, nullptr, 3.0f), 1);
  EXPECT_EQ(s.world.log.back(), "KeyDown 65 12 3");
  EXPECT_EQ(D(effEditKeyDown, 65, 12, nullptr, std::numeric_limits<float>::quiet_NaN()), 1);
  EXPECT_EQ(s.world.log.back(), "KeyDown 65 12 0");
  EXPECT_EQ(D(effEditKeyUp, 66), 1);
  EXPECT_EQ(s.world.log.back(), "KeyUp 66");
  EXPECT_EQ(D(effSetEditKnobMode, 0, 2), 1);
  EXPECT_EQ(s.world.log.back(), "KnobMode 2");
  EXPECT_EQ(D(effEditClose), 0);
  EXPECT_EQ(s.world.log.back(), "editor Close");
}

TEST(DispatcherNoEditor, EditorOpcodesAnswerZero) {
  ShellFixtureState s;
  s.world.makeEditor = false;
  ASSERT_TRUE(s.Create());
  ERect* rect = nullptr;
  EXPECT_EQ(s.host.Dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(s.host.Dispatch(effEditOpen), 0);
  EXPECT_EQ(s.host.Dispatch(effEditKeyDown, 1), 0);
  EXPECT_EQ(s.host.Dispatch(effSetEditKnobMode, 0, 1), 0);
  EXPECT_EQ(s.host.Dispatch(effEditClose), 0);
  EXPECT_EQ(s.host.Dispatch(effIdle), 1);
  EXPECT_EQ(s.world.log.back(), "PumpGuiMessages");
}

TEST_F(Dispatcher, IdlePumpsOnlyWhileTheEditorIsClosed) {
  EXPECT_EQ(D(effIdle), 1);
  EXPECT_EQ(s.world.log.back(), "PumpGuiMessages");
  D(effEditOpen);
  s.world.log.clear();
  EXPECT_EQ(D(effIdle), 1);
  EXPECT_TRUE(s.world.log.empty());
}

TEST_F(Dispatcher, BlockSizeAndRateWithoutRestart) {
  D(effMainsChanged, 0, 1);
  s.world.log.clear();
  EXPECT_EQ(D(effSetBlockSizeAndSampleRate, 0, 256, nullptr, 96000.0f), 1);
  EXPECT_EQ(s.vst->getBlockSize(), 256);
  EXPECT_EQ(s.vst->getSampleRate(), 96000.0f);
  EXPECT_TRUE(s.world.log.empty());
  EXPECT_EQ(D(effSetBlockSize, 0, 512), 0);
  EXPECT_EQ(s.vst->getBlockSize(), 512);
  // Nonsense from the host is not stored.
  D(effSetBlockSize, 0, 0);
  D(effSetBlockSizeAndSampleRate, 0, -4, nullptr, std::numeric_limits<float>::quiet_NaN());
  D(effSetSampleRate, 0, 0, nullptr, -1.0f);
  EXPECT_EQ(s.vst->getBlockSize(), 512);
  EXPECT_EQ(s.vst->getSampleRate(), 96000.0f);
  EXPECT_TRUE(s.world.log.empty());
}

class Parameters : public ::testing::Test {
 protected:
  void SetUp() override {
    s.world.parameters = {Param("Cutoff", 0, true, 0.25f, "1200.0", "Hz"),
                          Param("A name well beyond thirty-one characters", 0, false, 0.5f,
                                std::string(40, 'd'), std::string(40, 'l')),
                          Param("Level", 1, true, 0.75f)};
    ASSERT_TRUE(s.Create());
  }
  ShellFixtureState s;
};

TEST_F(Parameters, TextsAreCutAndOutOfRangeIsEmpty) {
  EXPECT_EQ(s.host.ParameterText(effGetParamName, 1), "Cutoff");
  EXPECT_EQ(s.host.ParameterText(effGetParamDisplay, 1), "1200.0");
  EXPECT_EQ(s.host.ParameterText(effGetParamLabel, 1), "Hz");
  EXPECT_EQ(s.host.ParameterText(effGetParamName, 0), "A name well beyond thirty-one c");
  EXPECT_EQ(s.host.ParameterText(effGetParamDisplay, 0), std::string(31, 'd'));
  EXPECT_EQ(s.host.ParameterText(effGetParamLabel, 0), std::string(31, 'l'));
  for (VstInt32 bad : {3, -1, 1000}) {
    EXPECT_EQ(s.host.ParameterText(effGetParamName, bad), "");
    EXPECT_EQ(s.host.ParameterText(effGetParamDisplay, bad), "");
    EXPECT_EQ(s.host.GetParameter(bad), 0.0f);
    EXPECT_EQ(s.host.Dispatch(effCanBeAutomated, bad), 0);
  }
}

TEST_F(Parameters, AutomatableOnlyWithKindZero) {
  EXPECT_EQ(s.host.Dispatch(effCanBeAutomated, 0), 0);  // not automatable
  EXPECT_EQ(s.host.Dispatch(effCanBeAutomated, 1), 1);
  EXPECT_EQ(s.host.Dispatch(effCanBeAutomated, 2), 0);  // kind 1
}

TEST_F(Parameters, SetIsIgnoredForTheSameValueOrBadIndex) {
  s.world.log.clear();
  s.host.SetParameter(1, 0.25f);
  s.host.SetParameter(7, 0.5f);
  s.host.SetParameter(-2, 0.5f);
  EXPECT_TRUE(s.world.log.empty());
  s.host.SetParameter(1, 0.5f);
  EXPECT_EQ(s.world.log.back(), "SetValue Cutoff");
  EXPECT_FLOAT_EQ(s.host.GetParameter(1), 0.5f);
}

TEST_F(Parameters, ThreadDecidesThePath) {
  // Before sound runs every thread sets the value directly.
  std::thread([&] { s.host.SetParameter(1, 0.1f); }).join();
  EXPECT_EQ(s.world.log.back(), "SetValue Cutoff");
  s.host.Dispatch(effMainsChanged, 0, 1);
  std::thread([&] { s.host.SetParameter(1, 0.2f); }).join();
  EXPECT_EQ(s.world.log.back(), "SetValueThroughAudioSide Cutoff");
  s.host.SetParameter(1, 0.3f);  // the GUI thread
  EXPECT_EQ(s.world.log.back(), "SetValue Cutoff");
}

TEST_F(Parameters, AutomationIsReportedToTheHost) {
  s.host.ClearCalls();
  s.vst->Automate(1, 0.625f);
  ASSERT_EQ(s.host.Calls().size(), 1u);
  EXPECT_EQ(s.host.Calls()[0].opcode, audioMasterAutomate);
  EXPECT_EQ(s.host.Calls()[0].index, 1);
  EXPECT_EQ(s.host.Calls()[0].opt, 0.625f);
}

}  // namespace
