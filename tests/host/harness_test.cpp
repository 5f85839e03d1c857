// The host harness, against the built plug-in and against a tiny plug-in
// written here.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/host_harness.h"
#include "platform/platform.h"
#include "support/command.h"

using namespace kr;

using namespace vst;

namespace {

TEST(HarnessWithPlugin, PluginExportsBothEntries) {
  auto library = platform::LoadLibrary(KR_PLUGIN_PATH);
  ASSERT_NE(library, nullptr) << platform::LastLibraryError();
  EXPECT_NE(platform::LibrarySymbol(library, "main"), nullptr);
  EXPECT_NE(platform::LibrarySymbol(library, "VSTPluginMain"), nullptr);
  platform::FreeLibrary(library);
}

TEST(HarnessWithPlugin, NoStoredDocumentMeansNull) {
  HostHarness host;
  ASSERT_TRUE(host.Load(KR_PLUGIN_PATH)) << host.Error();
  EXPECT_EQ(host.CallMain(), nullptr);
  ASSERT_EQ(host.Calls().size(), 1u);
  EXPECT_EQ(host.Calls()[0].opcode, audioMasterVersion);
  EXPECT_EQ(host.Calls()[0].effect, nullptr);
  // The failed construction sticks: later calls give null too.
  EXPECT_EQ(host.CallMain(), nullptr);
  EXPECT_EQ(host.CallMain(), nullptr);
  EXPECT_EQ(host.CallsWithOpcode(audioMasterVersion).size(), 3u);
  EXPECT_EQ(host.Calls().size(), 3u);
}

TEST(HarnessWithPlugin, OldHostGetsNullWithoutFurtherCalls) {
  HostHarness host;
  ASSERT_TRUE(host.Load(KR_PLUGIN_PATH)) << host.Error();
  host.SetVersionAnswer(0);
  EXPECT_EQ(host.CallMain(), nullptr);
  EXPECT_EQ(host.Calls().size(), 1u);
}

TEST(HarnessWithPlugin, MissingFileIsReported) {
  HostHarness host;
  EXPECT_FALSE(host.Load("/no/such/plugin.so"));
  EXPECT_NE(host.Error().find("/no/such/plugin.so"), std::string::npos);
  EXPECT_FALSE(host.HasEntry());
  EXPECT_EQ(host.CallMain(), nullptr);
}

// --- a tiny plug-in: two outputs, one input, records what the host sends ---

struct TinyPlugin {
  AEffect effect{};
  audioMasterCallback master = nullptr;
  std::vector<VstInt32> opcodes;
  std::vector<VstMidiEvent> midi;
  const VstTimeInfo* time = nullptr;
  float lastParameter = 0.0f;
  int closed = 0;
};
TinyPlugin tiny;

VstIntPtr VSTCALLBACK TinyDispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                     float) {
  tiny.opcodes.push_back(opcode);
  if (opcode == effProcessEvents) {
    const auto* list = static_cast<const VstEvents*>(ptr);
    auto* const* slots = reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(list) +
                                                            offsetof(VstEvents, events));
    for (VstInt32 i = 0; i < list->numEvents; ++i) tiny.midi.push_back(*reinterpret_cast<VstMidiEvent*>(slots[i]));
    return 1;
  }
  if (opcode == effGetEffectName) std::strcpy(static_cast<char*>(ptr), "Tiny");
  if (opcode == effClose) ++tiny.closed;
  if (opcode == effCanDo) {
    tiny.master(e, audioMasterCanDo, 0, 0, const_cast<char*>("sizeWindow"), 0.0f);
    return 1;
  }
  return value;
}

void VSTCALLBACK TinyProcessReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  tiny.time = reinterpret_cast<const VstTimeInfo*>(tiny.master(e, audioMasterGetTime, 0, kVstTempoValid, nullptr, 0));
  for (VstInt32 i = 0; i < frames; ++i) {
    outputs[0][i] = inputs[0][i] * 2.0f;
    outputs[1][i] = static_cast<float>(i);
  }
  VstMidiEvent out{};
  out.type = kVstMidiType;
  out.byteSize = 24;
  out.deltaFrames = frames - 1;
  out.midiData[0] = static_cast<char>(0xB0);
  std::uintptr_t header[3] = {1, 0, reinterpret_cast<std::uintptr_t>(&out)};
  tiny.master(e, audioMasterProcessEvents, 0, 0, header, 0.0f);
}

void VSTCALLBACK TinyProcess(AEffect*, float**, float** outputs, VstInt32 frames) {
  for (VstInt32 i = 0; i < frames; ++i) outputs[0][i] += 1.0f;
}

void VSTCALLBACK TinySetParameter(AEffect*, VstInt32, float value) { tiny.lastParameter = value; }
float VSTCALLBACK TinyGetParameter(AEffect*, VstInt32 index) { return static_cast<float>(index) / 10.0f; }

AEffect* VSTCALLBACK TinyMain(audioMasterCallback master) {
  tiny = TinyPlugin{};
  tiny.master = master;
  if (master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  tiny.effect.magic = kEffectMagic;
  tiny.effect.dispatcher = &TinyDispatcher;
  tiny.effect.processReplacing = &TinyProcessReplacing;
  tiny.effect.process = &TinyProcess;
  tiny.effect.setParameter = &TinySetParameter;
  tiny.effect.getParameter = &TinyGetParameter;
  tiny.effect.numInputs = 1;
  tiny.effect.numOutputs = 2;
  master(&tiny.effect, audioMasterNeedIdle, 0, 0, nullptr, 0.0f);  // before the host knows the record
  return &tiny.effect;
}

TEST(HarnessWithTinyPlugin, RecordsCallsFromInsideMain) {
  HostHarness host;
  host.UseEntry(&TinyMain);
  ASSERT_EQ(host.CallMain(), &tiny.effect);
  EXPECT_EQ(tiny.effect.user, &host);
  ASSERT_EQ(host.Calls().size(), 2u);
  EXPECT_EQ(host.Calls()[0].opcode, audioMasterVersion);
  EXPECT_EQ(host.Calls()[1].opcode, audioMasterNeedIdle);
  EXPECT_EQ(host.Calls()[1].effect, &tiny.effect);
  EXPECT_STREQ(AudioMasterOpcodeName(host.Calls()[1].opcode), "audioMasterNeedIdle");
  EXPECT_EQ(host.Close(), 0);
  EXPECT_EQ(tiny.closed, 1);
  EXPECT_EQ(host.Effect(), nullptr);
}

TEST(HarnessWithTinyPlugin, BlocksWithMidiAndTimeInfo) {
  HostHarness host;
  host.UseEntry(&TinyMain);
  ASSERT_NE(host.CallMain(), nullptr);
  host.PrepareBlock(48);
  for (std::size_t i = 0; i < 48; ++i) host.Input(0)[i] = 0.25f;
  const MidiAt midi[] = {{7, 0x90, 60, 100}, {-3, 0x80, 60, 0}};
  host.RunBlock(midi);
  ASSERT_EQ(tiny.midi.size(), 2u);
  EXPECT_EQ(tiny.midi[0].deltaFrames, 7);
  EXPECT_EQ(static_cast<std::uint8_t>(tiny.midi[0].midiData[0]), 0x90);
  EXPECT_EQ(tiny.midi[0].midiData[2], 100);
  EXPECT_EQ(tiny.midi[1].deltaFrames, -3);
  EXPECT_EQ(host.Output(0)[10], 0.5f);
  EXPECT_EQ(host.Output(1)[47], 47.0f);
  EXPECT_EQ(tiny.time, nullptr);  // no time info set

  VstTimeInfo info{};
  info.samplePos = 4800.0;
  info.tempo = 120.0;
  host.SetTimeInfo(info);
  host.RunBlock();
  ASSERT_NE(tiny.time, nullptr);
  EXPECT_EQ(tiny.time->tempo, 120.0);
  EXPECT_EQ(tiny.time->samplePos, 4800.0);
  const auto gets = host.CallsWithOpcode(audioMasterGetTime);
  ASSERT_EQ(gets.size(), 2u);
  EXPECT_EQ(gets[1].value, kVstTempoValid);

  const auto sent = host.CallsWithOpcode(audioMasterProcessEvents);
  ASSERT_EQ(sent.size(), 2u);
  ASSERT_EQ(sent[0].events.size(), 1u);
  EXPECT_EQ(sent[0].events[0].deltaFrames, 47);

  host.RunBlock({}, ProcessMode::Accumulating);  // process adds 1 to what is there
  EXPECT_EQ(host.Output(0)[10], 1.5f);
}

TEST(HarnessWithTinyPlugin, DispatcherParametersAndTexts) {
  HostHarness host;
  host.UseEntry(&TinyMain);
  ASSERT_NE(host.CallMain(), nullptr);
  EXPECT_EQ(host.Dispatch(effSetTotalSampleToProcess, 0, 99), 99);
  EXPECT_EQ(host.TextCall(effGetEffectName), "Tiny");
  host.SetParameter(2, 0.75f);
  EXPECT_EQ(tiny.lastParameter, 0.75f);
  EXPECT_FLOAT_EQ(host.GetParameter(3), 0.3f);
  std::string query = "x";
  host.Dispatch(effCanDo, 0, 0, query.data());
  const auto canDo = host.CallsWithOpcode(audioMasterCanDo);
  ASSERT_EQ(canDo.size(), 1u);
  EXPECT_EQ(canDo[0].text, "sizeWindow");
}

// --- the kestrune program ---

// The built program, as a path the system's command shell takes.
std::string KestruneProgram() {
#if defined(_WIN32)
  return std::filesystem::absolute(std::string(KR_BINARY_DIR) + "/kestrune.exe").make_preferred().string();
#else
  return std::string(KR_BINARY_DIR) + "/kestrune";
#endif
}

TEST(KestruneProgram, InfoSaysWhyMainGaveNull) {
  std::string program = KestruneProgram();
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "kestrune not built";
  int status = 0;
  std::string out = krtest::RunCommand(program + " info", status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("main returned null: the plug-in carries no stored document"), std::string::npos) << out;
  out = krtest::RunCommand(program + " info --help", status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("Usage: kestrune info [OPTIONS] [file]"), std::string::npos) << out;
  out = krtest::RunCommand(program + " --help", status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("info"), std::string::npos);
  out = krtest::RunCommand(program + " nonsense", status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("unknown command \"nonsense\""), std::string::npos);
}

}  // namespace

TEST(KestruneProgram, TortureReportsAPluginThatGivesNoEffectAsFailures) {
  const std::string program = KestruneProgram();
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "kestrune not built";
  int status = 0;
  std::string out = krtest::RunCommand(program + " torture " + KR_PLUGIN_PATH +
                                           " --check \"block sizes\" --check nan --seconds 0.1", status);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("FAIL: " + std::string(KR_PLUGIN_PATH) + ": block sizes: main returned null"), std::string::npos)
      << out;
  EXPECT_NE(out.find(": input NaN: main returned null"), std::string::npos) << out;
  EXPECT_NE(out.find("torture: 1 plug-in, 2 failures (seed 1)"), std::string::npos) << out;
  out = krtest::RunCommand(program + " torture --check nothing", status);
  EXPECT_EQ(status, 2);
  EXPECT_NE(out.find("kestrune torture: --check: nothing not in {block sizes,"), std::string::npos) << out;
}
