// The host's program calls through the exported plug-in's `main`: programs
// are selected through the container (every program-change step runs),
// unnamed programs have their "Patch %3d" names, renaming creates a name,
// names travel in the host's encoding, and nothing answers success for a
// program that does not exist or a copy that did not happen.
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "host/host_harness.h"
#include "platform/platform.h"
#include "support/synth_patch.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using namespace vst;

// A top container governed by "Patch Select" (16 programs), with a nested container.
std::vector<std::uint8_t> ProgramPatch() {
  krtest::SynthPatch patch;
  patch.Wire(patch.AddAudioIn(), patch.AddAudioOut());
  patch.Add("Patch Select", "Programs");
  patch.AddContainer("Inner");
  return patch.Write();
}

class HostPrograms : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = "Programs" + std::filesystem::path(KR_PLUGIN_PATH).extension().string();
    ASSERT_TRUE(krtest::LoadExportedPlugin(host, dir.path(), name, ProgramPatch()));
    ASSERT_NE(host.CallMain(), nullptr);
    ASSERT_EQ(host.Effect()->numPrograms, 16);
  }
  std::string Name(VstInt32 opcode, VstInt32 index = 0) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    host.Dispatch(opcode, index, 0, text);
    return platform::HostTextToUtf8(text);
  }

  krtest::TempDir dir;
  HostHarness host;
};

TEST_F(HostPrograms, UnnamedProgramsAreNumberedAndRenamingCreatesTheName) {
  EXPECT_EQ(host.Dispatch(effSetProgram, 0, 5), 0);
  EXPECT_EQ(host.Dispatch(effGetProgram), 5);
  EXPECT_EQ(Name(effGetProgramName), "Patch   6");
  EXPECT_EQ(Name(effGetProgramNameIndexed, 12), "Patch  13");

  // An accented name, in the host's encoding, comes back unchanged.
  std::string hostName = platform::Utf8ToHostText("Caf\xC3\xA9 Cr\xC3\xA8me");
  EXPECT_EQ(host.Dispatch(effSetProgramName, 0, 0, hostName.data()), 0);
  EXPECT_EQ(Name(effGetProgramName), "Caf\xC3\xA9 Cr\xC3\xA8me");
  EXPECT_EQ(Name(effGetProgramNameIndexed, 5), "Caf\xC3\xA9 Cr\xC3\xA8me");
  EXPECT_EQ(Name(effGetProgramNameIndexed, 4), "Patch   5") << "only the current program was renamed";
  host.Close();
}

TEST_F(HostPrograms, MissingProgramsAndCopiesAreNotReportedAsDone) {
  char text[8] = "keep";
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 16, 0, text), 0);
  EXPECT_STREQ(text, "keep") << "a program that does not exist leaves the buffer alone";
  EXPECT_EQ(host.Dispatch(effCopyProgram, 16), 0);
  EXPECT_EQ(host.Dispatch(effCopyProgram, -1), 0);
  EXPECT_EQ(Name(effGetProgramNameIndexed, 15), "Patch  16") << "nothing was copied";
  EXPECT_EQ(host.Dispatch(effCopyProgram, 3), 1);
  EXPECT_EQ(Name(effGetProgramNameIndexed, 3), "(Copy 1) Patch   1");
  host.Close();
}

}  // namespace
