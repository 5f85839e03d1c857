// Patch parameters as a host automates them, through the exported plug-in's
// `main`: names, display texts, the 0..1 mapping, no echo of what the host
// set, and the sound following from the next block, from the GUI thread and
// from another thread while audio runs.
#include <atomic>
#include <limits>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "programs_support.h"

using namespace kr;

namespace {

using namespace vst;
using krtest::LevelPatch;
using krtest::Programs;

TEST_F(Programs, FloatAndListParametersShowTheirNamesAndDisplays) {
  ASSERT_TRUE(Open(LevelPatch()));
  ASSERT_EQ(host.Effect()->numParams, 2);
  EXPECT_EQ(host.ParameterText(effGetParamName, 0), "Level");
  EXPECT_EQ(host.ParameterText(effGetParamName, 1), "Shape");
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 0), "5.00");
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 1), "Sine");
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.5f);
  EXPECT_EQ(host.Dispatch(effCanBeAutomated, 0), 1);
  host.Close();
}

TEST_F(Programs, ASetValueReadsBackIsNotEchoedAndSoundsFromTheNextBlock) {
  ASSERT_TRUE(Open(LevelPatch()));
  Resume();
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).back(), 0.5f);
  host.ClearCalls();
  host.SetParameter(0, 0.25f);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.25f);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 0), "2.50");
  EXPECT_TRUE(host.CallsWithOpcode(audioMasterAutomate).empty()) << "what the host set is not sent back";
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).front(), 0.25f);
  host.SetParameter(1, 0.9f);  // the last of the oscillator's seven waves
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 1), "Pink Noise");
  EXPECT_FLOAT_EQ(host.GetParameter(1), 1.0f);
  host.SetParameter(0, std::numeric_limits<float>::quiet_NaN());
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.25f) << "NaN is not a value";
  host.Close();
}

TEST_F(Programs, AutomationFromAnotherThreadReachesTheAudioAtTheNextBlock) {
  ASSERT_TRUE(Open(LevelPatch()));
  Resume();
  host.RunBlock();
  std::thread automation([&] { host.SetParameter(0, 0.75f); });
  automation.join();
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).front(), 0.75f);
  host.Dispatch(effIdle);  // the value comes back to the GUI side
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 0), "7.50");
  EXPECT_TRUE(host.CallsWithOpcode(audioMasterAutomate).empty());
  host.Close();
}

// A value set from another thread while the sound runs, after the host
// restored a program, is stored: the program chunk taken next carries it
// (getChunk takes in what the audio side sent, with or without idle), and
// the host is not told of its own value.
TEST_F(Programs, AValueSetFromAnotherThreadReachesTheProgramChunk) {
  ASSERT_TRUE(Open(LevelPatch()));
  SetChunk(GetChunk(true), true);
  Resume();
  host.RunBlock();
  host.ClearCalls();
  std::thread automation([&] { host.SetParameter(0, 0.75f); });
  automation.join();
  host.RunBlock();
  const std::vector<std::uint8_t> saved = GetChunk(true);
  EXPECT_TRUE(host.CallsWithOpcode(audioMasterAutomate).empty());
  host.Close();

  ASSERT_TRUE(Open(LevelPatch()));
  SetChunk(saved, true);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.75f);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 0), "7.50");
  host.Close();
}

// The host's audio thread plays while its automation thread sets values and
// its GUI thread idles: nothing races (the ThreadSanitizer run has this
// case), and the last value set is the one that sounds and is shown.
TEST_F(Programs, AutomationWhileAudioRunsOnAnotherThread) {
  ASSERT_TRUE(Open(LevelPatch()));
  Resume();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    while (!stop.load(std::memory_order_acquire)) host.RunBlock();
  });
  std::thread automation([&] {
    for (int i = 1; i <= 200; ++i) host.SetParameter(0, static_cast<float>(i % 10) / 10.0f);
    host.SetParameter(0, 0.35f);
  });
  for (int i = 0; i < 50; ++i) host.Dispatch(effIdle);
  automation.join();
  stop.store(true, std::memory_order_release);
  audio.join();
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).front(), 0.35f);
  host.Dispatch(effIdle);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 0), "3.50");
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.35f);
  host.Close();
}

// A value the audio side produces ("PatchMemFloatOut" fed by another patch
// value) comes back as the module's parameter: shown, and sent to the host as
// automation once per new value.
TEST_F(Programs, AValueTheAudioProducesReachesTheHostAsAutomation) {
  krtest::SynthPatch patch("KsP2");
  patch.AddAudioOut();
  patch.Add("Patch Select", "Programs");
  CUG& level = patch.Add("PatchMemFloatIn", "Level");
  patch.Set(level, "Value", "5");
  CUG& shown = patch.Add("PatchMemFloatOut", "Shown");
  patch.Wire(level, "Value Out", shown, "Value In");
  ASSERT_TRUE(Open(patch.Write()));
  ASSERT_EQ(host.Effect()->numParams, 2);
  EXPECT_EQ(host.ParameterText(effGetParamName, 1), "Shown");
  Resume();
  host.RunBlock();
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(host.GetParameter(1), 0.5f) << "the value the audio side started with";
  host.ClearCalls();
  host.SetParameter(0, 0.25f);
  host.RunBlock();
  host.RunBlock();
  host.Dispatch(effIdle);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 1), "2.50");
  const auto automated = host.CallsWithOpcode(audioMasterAutomate);
  ASSERT_EQ(automated.size(), 1u);
  EXPECT_EQ(automated[0].index, 1);
  EXPECT_FLOAT_EQ(automated[0].opt, 0.25f);
  host.Close();
}

}  // namespace
