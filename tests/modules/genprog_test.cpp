// "GenProg" through the plug-in's entry: a rise of its trigger breeds the
// child program from two parents and the patch plays it; the same seed in
// another instance breeds the same child, another seed another one.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/synth_patch.h"
#include "support/temp_dir.h"

namespace krtest {
using namespace kr;

namespace {

// "Level" (a patch value, 0..10 V) to the first output; a "Slider" "Go" into
// the trigger of a "GenProg" breeding program 2 from programs 0 and 1.
std::vector<std::uint8_t> BreedingPatch(const char* seed) {
  SynthPatch patch("KsG1");
  CPlug2& out = patch.AddAudioOut();
  patch.Add("Patch Select", "Programs");
  CUG& level = patch.Add("PatchMemFloatIn", "Level");
  patch.Set(level, "Name", "Level");
  CUG& volts = patch.Add("FloatToVolts", "Volts");
  patch.Set(volts, "Smoothing", "0");
  patch.Wire(level, "Value Out", volts, "Float In");
  patch.Wire(volts, "Volts Out", out);
  CUG& go = patch.Add("Slider", "Go");
  CUG& breeder = patch.Add("GenProg", "Breeder");
  patch.Set(breeder, "Mutation", "0.5");
  patch.Set(breeder, "Seed", seed);
  patch.Wire(go, "Signal Out", breeder, "Trigger");
  return patch.Write();
}

class GenProgThroughMain : public ::testing::Test {
 protected:
  // The level program 2 plays once bred in a fresh instance, and the program then playing.
  std::pair<float, int> BreedOnce(const char* seed) {
    HostHarness host;
    const std::string name = "Gen" + std::to_string(++opened_) + std::filesystem::path(KR_PLUGIN_PATH).extension().string();
    EXPECT_TRUE(LoadExportedPlugin(host, dir.path(), name, BreedingPatch(seed)) && host.CallMain() != nullptr);
    if (host.Effect() == nullptr) return {-1.0f, -1};
    const int level = IndexOf(host, "Level");
    const int go = IndexOf(host, "Go");
    EXPECT_GE(level, 0);
    EXPECT_GE(go, 0);
    if (level < 0 || go < 0) return {-1.0f, -1};
    host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(vst::effSetBlockSize, 0, 256);
    host.Dispatch(vst::effMainsChanged, 0, 1);
    host.PrepareBlock(256);
    host.Dispatch(vst::effSetProgram, 0, 1);
    host.SetParameter(level, 0.9f);
    host.Dispatch(vst::effSetProgram, 0, 0);
    host.SetParameter(level, 0.2f);
    host.RunBlock();
    EXPECT_FLOAT_EQ(host.Output(0).back(), 0.2f) << "program 0 plays its level";
    host.SetParameter(go, 1.0f);
    for (int i = 0; i < 20; ++i) {
      host.RunBlock();
      host.Dispatch(vst::effIdle);
    }
    const int program = static_cast<int>(host.Dispatch(vst::effGetProgram));
    host.RunBlock();
    const float played = host.Output(0).back();
    EXPECT_FLOAT_EQ(host.GetParameter(level), played) << "the patch plays the child's value";
    host.Dispatch(vst::effSetProgram, 0, 1);
    EXPECT_FLOAT_EQ(host.GetParameter(level), 0.9f) << "parents untouched";
    host.Close();
    return {played, program};
  }
  static int IndexOf(HostHarness& host, const std::string& name) {
    for (int i = 0; i < host.Effect()->numParams; ++i)
      if (host.ParameterText(vst::effGetParamName, i) == name) return i;
    return -1;
  }
  TempDir dir;
  int opened_ = 0;
};

TEST_F(GenProgThroughMain, TheSameSeedBreedsTheSameProgramTwice) {
  const auto first = BreedOnce("7");
  const auto second = BreedOnce("7");
  const auto other = BreedOnce("8");
  EXPECT_EQ(first.second, 2) << "the patch switched to the child";
  EXPECT_EQ(first, second);
  EXPECT_GE(first.first, 0.0f);
  EXPECT_LE(first.first, 1.0f);
  EXPECT_NE(first.first, 0.2f) << "bred, not copied from a parent";
  EXPECT_NE(first.first, 0.9f);
  EXPECT_NE(first.first, other.first) << "another seed, another child";
}

}  // namespace
}  // namespace krtest
