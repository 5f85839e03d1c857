// MIDI automation through the exported plug-in's `main`: a "MIDI Automator"
// moves patch values by controller (learnt, 14-bit pairs, NRPN) at the
// sample the controller arrives, tells the host after idle, and sends the
// values the host sets out again as controllers.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "patchtext/patch_compiler.h"
#include "programs_support.h"

using namespace kr;

namespace {

using namespace vst;
using krtest::PlayingPatch;

// "Level" (learning) drives the output as Level/10; "Cutoff" listens to
// NRPN 300, "Volume" to controller 7.
std::vector<std::uint8_t> AutomatedPatch(bool sendAll = false) {
  std::string text = R"({"settings": {"id": "KsMA"}, "root": {"modules": [
    {"module": "Container", "title": "Synth",
     "plugs": [{"name": "Out 1", "direction": "out"}, {"name": "MIDI In", "direction": "in", "type": "midi"},
               {"name": "MIDI Out", "direction": "out", "type": "midi"}],
     "modules": [
       {"module": "Patch Select", "id": "select"},
       {"module": "MIDI Automator", "id": "auto", "values": {"Send All On Patch Change": "SEND_ALL"}},
       {"module": "PatchMemFloatIn", "id": "level", "title": "Level", "values": {"Value": "5"},
        "patch_values": {"Value": {"midi_controller": "learn"}}},
       {"module": "PatchMemFloatIn", "id": "cutoff", "title": "Cutoff", "values": {"Value": "0"},
        "patch_values": {"Value": {"midi_controller": "NRPN 300"}}},
       {"module": "PatchMemFloatIn", "id": "volume", "title": "Volume", "values": {"Value": "0"},
        "patch_values": {"Value": {"midi_controller": "CC 7"}}},
       {"module": "FloatToVolts", "id": "volts", "values": {"Smoothing": "0"}}],
     "wires": [{"from": "io.MIDI In", "to": "auto.MIDI In"}, {"from": "io.MIDI In", "to": "select.MIDI In"}, {"from": "auto.MIDI Out", "to": "io.MIDI Out"},
               {"from": "level.Value Out", "to": "volts.Float In"}, {"from": "volts.Volts Out", "to": "io.Out 1"}]}]}})";
  text.replace(text.find("SEND_ALL"), 8, sendAll ? "1" : "0");
  return patchtext::CompilePatchTextToBytes(text, ".");
}

class MidiAutomation : public PlayingPatch {
 protected:
  void SetUp() override { Start(false); }
  void Start(bool sendAll) { Play(AutomatedPatch(sendAll)); }
};

constexpr float kScale = 16256.0f;

TEST_F(MidiAutomation, ALearningValueTakesTheNextControllerAtItsSample) {
  const MidiAt cc74Full[] = {{10, 0xB0, 74, 127}};
  host.RunBlock(cc74Full);
  EXPECT_FLOAT_EQ(host.Output(0)[9], 0.5f);
  EXPECT_FLOAT_EQ(host.Output(0)[10], 1.0f) << "the value moves at the controller's sample";
  const MidiAt cc74Half[] = {{0, 0xB0, 74, 64}};
  host.RunBlock(cc74Half);
  EXPECT_TRUE(host.CallsWithOpcode(audioMasterAutomate).empty()) << "the host hears of it at idle";
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Level")), 8192.0f / kScale);
  const auto automated = host.CallsWithOpcode(audioMasterAutomate);
  ASSERT_FALSE(automated.empty());
  EXPECT_EQ(automated.back().index, Index("Level"));
  EXPECT_FLOAT_EQ(automated.back().opt, 8192.0f / kScale);
  EXPECT_TRUE(SentControllers().empty()) << "values that came in by MIDI are not sent out again";
}

TEST_F(MidiAutomation, NrpnAndFourteenBitPairsReachTheirParameters) {
  const MidiAt teach[] = {{0, 0xB0, 74, 0}};
  host.RunBlock(teach);
  const MidiAt nrpn[] = {{0, 0xB0, 99, 2}, {0, 0xB0, 98, 44}, {0, 0xB0, 6, 100}, {0, 0xB0, 38, 5}};
  host.RunBlock(nrpn);
  const MidiAt pair[] = {{0, 0xB0, 7, 100}, {1, 0xB0, 39, 50}};
  host.RunBlock(pair);
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Cutoff")), static_cast<float>((100 << 7) + 5) / kScale);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Volume")), static_cast<float>((100 << 7) + 50) / kScale);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Level")), 0.0f) << "Level learnt controller 74 only";
}

TEST_F(MidiAutomation, HostValuesGoOutAsControllers) {
  host.SetParameter(Index("Volume"), 0.5f);
  host.RunBlock();
  using Sent = std::vector<std::pair<int, int>>;
  EXPECT_EQ(SentControllers(), (Sent{{7, 63}, {39, 64}}));  // 8128 = 63 x 128 + 64
  host.ClearCalls();
  host.SetParameter(Index("Cutoff"), 1.0f);
  host.RunBlock();
  EXPECT_EQ(SentControllers(), (Sent{{99, 2}, {98, 44}, {6, 127}, {38, 0}}));
}

TEST_F(MidiAutomation, MalformedControllerStreamsChangeNothing) {
  // Data bytes above 127, a lone NRPN half with data entry, an RPN without
  // its other half, a program change: none reaches a bound value.
  const MidiAt noise[] = {{0, 0xB0, 200, 5}, {0, 0xB0, 7, 255}, {0, 0xB0, 98, 3}, {0, 0xB0, 38, 9},
                          {0, 0xB0, 101, 0}, {0, 0xB0, 6, 1},   {0, 0xC0, 7, 0}};
  host.RunBlock(noise);
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Cutoff")), 0.0f);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Volume")), 0.0f);
}

// A host restoring a song sets the bank before it starts the sound (which
// applies the current program). Controller moves after that, a 7-bit one, a
// 14-bit pair and an NRPN, each reach the host once at idle and the bank the
// host saves next: a fresh instance given that bank reads the same values.
TEST_F(MidiAutomation, ControllerMovesAfterARestoredBankReachTheSavedSong) {
  host.Close();
  ASSERT_TRUE(Open(AutomatedPatch()));
  SetChunk(GetChunk());
  Resume();
  host.RunBlock();
  host.Dispatch(effIdle);
  host.ClearCalls();
  const MidiAt moves[] = {{3, 0xB0, 74, 127},  {4, 0xB0, 7, 100},  {5, 0xB0, 39, 50},
                          {6, 0xB0, 99, 2},    {7, 0xB0, 98, 44},  {8, 0xB0, 6, 100}, {9, 0xB0, 38, 5}};
  host.RunBlock(moves);
  host.Dispatch(effIdle);
  const float level = 127.0f * 128.0f / kScale, volume = static_cast<float>((100 << 7) + 50) / kScale,
              cutoff = static_cast<float>((100 << 7) + 5) / kScale;
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Level")), level);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Volume")), volume);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Cutoff")), cutoff);
  std::map<int, std::vector<float>> reported;
  for (const HostCall& call : host.CallsWithOpcode(audioMasterAutomate)) reported[call.index].push_back(call.opt);
  EXPECT_EQ(reported[Index("Level")], std::vector<float>{level});
  EXPECT_EQ(reported[Index("Volume")].back(), volume);
  EXPECT_EQ(reported[Index("Cutoff")].back(), cutoff);

  HostHarness restored;
  ASSERT_TRUE(Open(AutomatedPatch(), restored));
  SetChunk(restored, GetChunk(host, false), false);
  EXPECT_FLOAT_EQ(restored.GetParameter(Index("Level")), level);
  EXPECT_FLOAT_EQ(restored.GetParameter(Index("Volume")), volume);
  EXPECT_FLOAT_EQ(restored.GetParameter(Index("Cutoff")), cutoff);
  restored.Close();
}

// A MIDI program change into "Patch Select" picks the program; the host
// hears of it once, after idle.
TEST_F(MidiAutomation, AProgramChangeIntoPatchSelectBecomesTheHostsProgram) {
  const MidiAt change[] = {{5, 0xC0, 3, 0}};
  host.RunBlock(change);
  host.Dispatch(effIdle);
  EXPECT_EQ(host.Dispatch(effGetProgram), 3);
  EXPECT_EQ(host.CallsWithOpcode(audioMasterUpdateDisplay).size(), 1u);
  host.RunBlock(change);  // the same program again changes nothing
  host.Dispatch(effIdle);
  EXPECT_EQ(host.CallsWithOpcode(audioMasterUpdateDisplay).size(), 1u);
}

// A controller value that comes back after the program changed stays out of
// the new program; "Send All On Patch Change" sends the new program's values.
TEST_F(MidiAutomation, ProgramChangesKeepLateValuesOutAndSendAllWhenAsked) {
  const MidiAt volume[] = {{0, 0xB0, 7, 127}};
  host.RunBlock(volume);
  host.Dispatch(effSetProgram, 0, 2);  // before the value reached the panel side
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Volume")), 0.0f) << "program 2 keeps its own value";
  host.RunBlock();
  EXPECT_TRUE(SentControllers().empty()) << "a program change sends nothing by default";

  Start(true);
  host.Dispatch(effSetProgram, 0, 1);
  host.RunBlock();
  using Sent = std::vector<std::pair<int, int>>;
  EXPECT_EQ(SentControllers(), (Sent{{7, 0}, {39, 0}, {99, 2}, {98, 44}, {6, 0}, {38, 0}}));
}

}  // namespace
