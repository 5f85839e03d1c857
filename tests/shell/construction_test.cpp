// Creating and destroying the effect object through `main`.
#include <gtest/gtest.h>

#include <algorithm>

#include "shell/plugin_entry.h"
#include "shell/plugin_id.h"
#include "shell_fakes.h"

using namespace kr;

using namespace vst;
using krtest::Param;
using krtest::ShellFixtureState;

namespace {

bool Logged(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

TEST(ShellEntry, HostWithoutVersionGetsNullAndNothingIsCreated) {
  ShellFixtureState s;
  s.host.SetVersionAnswer(0);
  EXPECT_FALSE(s.Create());
  ASSERT_EQ(s.host.Calls().size(), 1u);
  EXPECT_EQ(s.host.Calls()[0].opcode, audioMasterVersion);
  EXPECT_EQ(s.host.Calls()[0].effect, nullptr);
  EXPECT_TRUE(s.world.log.empty());
  EXPECT_FALSE(krtest::TestConstructionFlag().load());
}

TEST(ShellEntry, NullCallbackGivesNull) {
  std::atomic<bool> failed{false};
  EXPECT_EQ(CreateEffect(nullptr, failed, nullptr), nullptr);
}

TEST(ShellEntry, FailedConstructionSticksForTheProcess) {
  ShellFixtureState broken;
  broken.world.initialiseSucceeds = false;
  EXPECT_FALSE(broken.Create());
  EXPECT_TRUE(krtest::TestConstructionFlag().load());
  // The half-built object was destroyed: suspend stopped sound, the application went away.
  EXPECT_TRUE(Logged(broken.world.log, "StopSound"));
  EXPECT_EQ(broken.world.log.back(), "~application");

  // A good document afterwards still gets null while the flag stays set.
  ShellFixtureState good;
  krtest::SetCurrentWorld(&good.world);
  good.host.UseEntry(&krtest::TestEntry);
  EXPECT_EQ(good.host.CallMain(), nullptr);
  EXPECT_EQ(good.host.CallMain(), nullptr);
  EXPECT_TRUE(krtest::TestConstructionFlag().load());
}

TEST(ShellEntry, DocumentWithoutTopContainerFails) {
  ShellFixtureState s;
  s.world.hasTopContainer = false;
  EXPECT_FALSE(s.Create());
  EXPECT_TRUE(krtest::TestConstructionFlag().load());
}

TEST(ShellEntry, WithoutAnApplicationFactoryNothingIsBuilt) {
  std::atomic<bool> failed{false};
  EXPECT_EQ(CreateEffect([](AEffect*, VstInt32 op, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
              return op == audioMasterVersion ? 2400 : 0;
            }, failed, nullptr),
            nullptr);
  EXPECT_FALSE(failed.load());
}

TEST(ShellConstruction, RecordFieldsAndFlags) {
  ShellFixtureState s;
  s.world.settings.flags = PLUGIN_IS_SYNTH;
  s.world.settings.mono = true;
  s.world.audioIns = {"In L", "In R", "Side"};
  ASSERT_TRUE(s.Create());
  AEffect* e = s.host.Effect();
  EXPECT_EQ(e->magic, 0x56737450);
  EXPECT_EQ(e->object, s.vst);
  EXPECT_EQ(e->version, 1);
  EXPECT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(e->numInputs, 3);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->uniqueID, CCONST('K', 'r', 'S', 'y'));
  EXPECT_EQ(e->flags, effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing | effFlagsProgramChunks |
                          effFlagsIsSynth);
  EXPECT_EQ(s.vst->getSampleRate(), 44100.0f);
  EXPECT_EQ(s.vst->getBlockSize(), 1024);
  EXPECT_EQ(s.host.Dispatch(effGetProgram), 0);
  EXPECT_EQ(s.world.containerProgram, 0);
  EXPECT_EQ(e->numPrograms, 16);
}

TEST(ShellConstruction, EffectWithoutEditorOrPlugs) {
  ShellFixtureState s;
  s.world.makeEditor = false;
  s.world.audioOuts.clear();
  s.world.settings.flags = 0;
  ASSERT_TRUE(s.Create());
  EXPECT_EQ(s.host.Effect()->numInputs, 0);
  EXPECT_EQ(s.host.Effect()->numOutputs, 0);
  EXPECT_EQ(s.host.Effect()->flags & (effFlagsHasEditor | effFlagsIsSynth | effFlagsCanMono), 0);
  EXPECT_EQ(s.host.Dispatch(effGetPlugCategory), 0);
}

// What the host sees of construction: its version asked, then idle calls
// requested for this effect.
TEST(ShellConstruction, AsksTheHostItsVersionThenForIdleCalls) {
  ShellFixtureState s;
  ASSERT_TRUE(s.Create());
  ASSERT_EQ(s.host.Calls().size(), 2u);
  EXPECT_EQ(s.host.Calls()[0].opcode, audioMasterVersion);
  EXPECT_EQ(s.host.Calls()[1].opcode, audioMasterNeedIdle);
  EXPECT_EQ(s.host.Calls()[1].effect, s.host.Effect());
}

TEST(ShellConstruction, ProgramCountNeedsPatchSelect) {
  ShellFixtureState with;
  with.world.settings.programCount = 40;
  ASSERT_TRUE(with.Create());
  EXPECT_EQ(with.host.Effect()->numPrograms, 40);

  ShellFixtureState without;
  without.world.settings.programCount = 40;
  without.world.patchSelect = false;
  ASSERT_TRUE(without.Create());
  EXPECT_EQ(without.host.Effect()->numPrograms, 1);
  EXPECT_EQ(without.vst->numPrograms(), 1);
}

TEST(ShellConstruction, StoredProgramCountIsKeptWithinPatchMemory) {
  ShellFixtureState zero;
  zero.world.settings.programCount = 0;
  ASSERT_TRUE(zero.Create());
  EXPECT_EQ(zero.host.Effect()->numPrograms, 1);

  ShellFixtureState huge;
  huge.world.settings.programCount = 100000;
  ASSERT_TRUE(huge.Create());
  EXPECT_EQ(huge.host.Effect()->numPrograms, 128);
}

TEST(ShellConstruction, ParametersSortByKindThenNameStably) {
  ShellFixtureState s;
  s.world.parameters = {
      Param("Volume", 0, true, 0.1f), Param("Meter", 1, true, 0.2f), Param("Attack", 0, true, 0.3f),
      Param("Volume", 0, true, 0.4f), Param("LED", 1, false, 0.5f),  Param("cutoff", 0, true, 0.6f),
      Param("Cutoff", 0, true, 0.7f),
  };
  ASSERT_TRUE(s.Create());
  ASSERT_EQ(s.host.Effect()->numParams, 7);
  std::vector<std::string> names;
  for (int i = 0; i < 7; ++i) names.push_back(s.host.ParameterText(effGetParamName, i));
  // Byte order puts capitals before lower case; meters and LEDs come last.
  EXPECT_EQ(names, (std::vector<std::string>{"Attack", "Cutoff", "Volume", "Volume", "cutoff", "LED", "Meter"}));
  // The two "Volume" parameters keep their collection order.
  EXPECT_FLOAT_EQ(s.host.GetParameter(2), 0.1f);
  EXPECT_FLOAT_EQ(s.host.GetParameter(3), 0.4f);
  for (int i = 0; i < 7; ++i) {
    auto* p = dynamic_cast<krtest::FakeParameter*>(s.vst->Parameter(i));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->host_, static_cast<kr::HostServices*>(s.vst));
    EXPECT_EQ(p->hostIndex_, i);
  }
}

TEST(ShellConstruction, PluginIdPacking) {
  EXPECT_EQ(PackPluginId("KrSy"), CCONST('K', 'r', 'S', 'y'));
  EXPECT_EQ(PackPluginId("KrSynth"), CCONST('K', 'r', 'S', 'y'));
  EXPECT_EQ(PackPluginId("ab"), CCONST('a', 'b', ' ', ' '));
  EXPECT_EQ(PackPluginId(""), CCONST(' ', ' ', ' ', ' '));
  // Characters above 127 count as negative bytes: 0xFF,'A' gives (-1*256 + 65)*65536 + ...
  EXPECT_EQ(PackPluginId("\xff" "A  "), ((-1 * 256 + 'A') * 256 + ' ') * 256 + ' ');
  EXPECT_EQ(PackPluginId("\x80\x80\x80\x80"), static_cast<std::int32_t>(0x7F7F7F80u));
  char text[5];
  UnpackPluginId(CCONST('K', 'r', 'S', 'y'), text);
  EXPECT_STREQ(text, "KrSy");
}

// The sound stops before anything it reads goes, and everything goes.
TEST(ShellLifetime, CloseStopsSoundFirstDestroysEverythingAndReturnsOne) {
  ShellFixtureState s;
  s.world.parameters = {Param("A"), Param("B"), Param("C")};
  ASSERT_TRUE(s.Create());
  s.host.Dispatch(effMainsChanged, 0, 1);
  s.world.log.clear();
  EXPECT_EQ(s.host.Close(), 1);
  const std::vector<std::string>& log = s.world.log;
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "StopSound");
  for (const char* gone : {"DeleteDocument", "~param A", "~param B", "~param C", "~application"})
    EXPECT_NE(std::find(log.begin(), log.end(), gone), log.end()) << gone;
  EXPECT_EQ(s.world.host, nullptr);
}

TEST(ShellProgramWatcher, ProgramParameterMovesHostProgram) {
  ShellFixtureState s;
  ASSERT_TRUE(s.Create());
  ASSERT_NE(s.world.watcher, nullptr);
  s.host.ClearCalls();

  s.world.programParameterText = "5";
  s.world.watcher->OnWatchedValueChanged();
  EXPECT_EQ(s.host.Dispatch(effGetProgram), 5);
  EXPECT_EQ(s.world.containerProgram, 5);
  ASSERT_EQ(s.host.Calls().size(), 1u);
  EXPECT_EQ(s.host.Calls()[0].opcode, audioMasterUpdateDisplay);
  EXPECT_EQ(s.host.Calls()[0].index, 0);
  EXPECT_EQ(s.host.Calls()[0].value, 0);

  s.world.watcher->OnWatchedValueChanged();  // same program: nothing
  EXPECT_EQ(s.host.Calls().size(), 1u);
}

TEST(ShellProgramWatcher, WatchingRunsTheWatcherOnce) {
  ShellFixtureState s;
  s.world.programParameterText = "3";
  ASSERT_TRUE(s.Create());
  EXPECT_EQ(s.host.Dispatch(effGetProgram), 3);
  EXPECT_EQ(s.host.CallsWithOpcode(audioMasterUpdateDisplay).size(), 1u);

  ShellFixtureState none;
  none.world.hasProgramParameter = false;
  none.world.programParameterText = "3";
  ASSERT_TRUE(none.Create());
  EXPECT_EQ(none.world.watcher, nullptr);
  EXPECT_EQ(none.host.Dispatch(effGetProgram), 0);
}

}  // namespace
