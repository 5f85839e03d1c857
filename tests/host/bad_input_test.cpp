// Host input that no signal can be (NaN, infinities) or that only slows a
// patch down (subnormals) comes into the patch as silence, so a filter fed
// one bad block plays normally again at once.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "host/host_harness.h"
#include "support/synth_patch.h"
#include "support/temp_dir.h"

using namespace kr;

using namespace vst;

namespace {

TEST(BadHostInput, ComesInAsSilenceAndLeavesNoStateBehind) {
  krtest::SynthPatch patch("KsBi");
  CPlug2& in1 = patch.AddAudioIn();
  CPlug2& in2 = patch.AddAudioIn();
  CPlug2& out1 = patch.AddAudioOut();
  CPlug2& out2 = patch.AddAudioOut();
  patch.Wire(in1, out1);
  CUG& filter = patch.Add("1 Pole LP", "Filter");
  patch.Wire(in2, filter, "Signal");
  patch.Wire(filter, "Output", out2);
  krtest::TempDir dir;
  HostHarness host;
  ASSERT_TRUE(krtest::LoadExportedPlugin(host, dir.path(), "BadInput" + std::filesystem::path(KR_PLUGIN_PATH).extension().string(), patch.Write()));
  ASSERT_NE(host.CallMain(), nullptr);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  host.Dispatch(effSetBlockSize, 0, 64);
  host.Dispatch(effMainsChanged, 0, 1);
  host.PrepareBlock(64);
  const float kinds[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::denorm_min() * 5};
  for (const float bad : kinds) {
    for (int c = 0; c < 2; ++c)
      for (float& s : host.Input(c)) s = bad;
    host.RunBlock();
    for (int c = 0; c < 2; ++c)
      for (float s : host.Output(c)) ASSERT_EQ(s, 0.0f) << bad << " channel " << c;
    for (int c = 0; c < 2; ++c)
      for (float& s : host.Input(c)) s = 0.5f;
    host.RunBlock();
    EXPECT_EQ(host.Output(0)[0], 0.5f) << bad;
    EXPECT_GT(host.Output(1)[63], 0.0f) << "the filter plays on after " << bad;
    EXPECT_LE(host.Output(1)[63], 0.5f);
    for (int c = 0; c < 2; ++c)
      for (float& s : host.Input(c)) s = 0.0f;
    for (int i = 0; i < 200; ++i) host.RunBlock();  // the filter back at rest
  }
  host.Close();
}

}  // namespace
