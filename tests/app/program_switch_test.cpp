// Program switches through the exported plug-in's `main`: every patch
// parameter takes the new program's value at once, the sound follows from the
// next block, programs outside the offered ones are ignored, and a switch is
// not reported to the host as automation.
#include <gtest/gtest.h>

#include "programs_support.h"

using namespace kr;

namespace {

using namespace vst;
using krtest::LevelPatch;
using krtest::Programs;

TEST_F(Programs, SwitchingProgramsChangesValuesAndSoundAtOnce) {
  ASSERT_TRUE(Open(LevelPatch()));
  ASSERT_EQ(host.Effect()->numPrograms, 16);
  Resume();
  host.Dispatch(effSetProgram, 0, 2);
  host.SetParameter(0, 0.8f);
  host.SetParameter(1, 0.5f);
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).back(), 0.8f);

  host.ClearCalls();
  host.Dispatch(effSetProgram, 0, 0);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.5f) << "program 0 kept its own value";
  EXPECT_FLOAT_EQ(host.GetParameter(1), 0.0f);
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).front(), 0.5f) << "the switch sounds from the first sample of the next block";

  host.Dispatch(effSetProgram, 0, 2);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.8f);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, 1), "Triangle");
  host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0).front(), 0.8f);
  EXPECT_TRUE(host.CallsWithOpcode(audioMasterAutomate).empty()) << "a program switch is not automation";

  for (VstIntPtr outside : {VstIntPtr{-1}, VstIntPtr{16}, VstIntPtr{128}}) {
    host.Dispatch(effSetProgram, 0, outside);
    EXPECT_EQ(host.Dispatch(effGetProgram), 2) << outside;
  }
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.8f);
  host.Close();
}

TEST_F(Programs, CopyingAProgramCarriesItsValuesAndNamesTheCopy) {
  ASSERT_TRUE(Open(LevelPatch()));
  host.Dispatch(effSetProgram, 0, 1);
  char name[] = "Bright";
  host.Dispatch(effSetProgramName, 0, 0, name);
  host.SetParameter(0, 0.3f);
  EXPECT_EQ(host.Dispatch(effCopyProgram, 4), 1);
  EXPECT_EQ(host.Dispatch(effCopyProgram, 16), 0) << "not one of the offered programs";
  host.Dispatch(effSetProgram, 0, 4);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.3f);
  EXPECT_EQ(host.TextCall(effGetProgramName), "(Copy 1) Bright");
  host.Close();
}

}  // namespace
