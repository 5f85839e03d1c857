// Exported plug-ins loaded the way a host loads them: the built Kestrune
// plug-in carrying a patch gives a real AEffect.
#include <filesystem>

#include <gtest/gtest.h>

#include "app_test_documents.h"
#include "formats/image/plugin_export.h"
#include "host/host_harness.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

namespace fs = std::filesystem;
using krtest::PassThroughDocument;
using namespace vst;

// ((c0*256 + c1)*256 + c2)*256 + c3, each character a signed byte.
std::int32_t Packed(const char* four) {
  std::int32_t id = 0;
  for (int i = 0; i < 4; ++i) id = id * 256 + static_cast<signed char>(four[i]);
  return id;
}

class ExportedPlugin : public ::testing::Test {
 protected:
  fs::path Export(const std::vector<std::uint8_t>& document, kr::packaging::ExportForm form, const char* name) {
    const fs::path out = dir.path() / name;
    const auto result = kr::packaging::ExportPlugin(KR_PLUGIN_PATH, document, out.string(), form);
    EXPECT_TRUE(result.ok()) << result.error;
    return out;
  }
  krtest::TempDir dir;
};

TEST_F(ExportedPlugin, StoredResourceGivesAnEffectWithThePackedId) {
  const fs::path plugin = Export(PassThroughDocument(krtest::PatchSpec().Id("KsT1")), kr::packaging::ExportForm::StoredResource,
                                 "MySynth.so");
  EXPECT_FALSE(fs::exists(dir.path() / "MySynth.dat"));
  HostHarness host;
  ASSERT_TRUE(host.Load(plugin.string())) << host.Error();
  AEffect* effect = host.CallMain();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->magic, kEffectMagic);
  EXPECT_EQ(effect->uniqueID, Packed("KsT1"));
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->numPrograms, 1);  // no "Patch Select"
  EXPECT_EQ(effect->flags & effFlagsIsSynth, 0);
  host.Close();
}

TEST_F(ExportedPlugin, StoredPassThroughPlaysTheHostInputOnResume) {
  const fs::path plugin = Export(PassThroughDocument(), kr::packaging::ExportForm::StoredResource, "Through.so");
  HostHarness host;
  ASSERT_TRUE(host.Load(plugin.string())) << host.Error();
  ASSERT_NE(host.CallMain(), nullptr);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  host.Dispatch(effSetBlockSize, 0, 64);
  host.Dispatch(effMainsChanged, 0, 1);
  for (int block = 0; block < 3; ++block) {
    host.PrepareBlock(64);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < 64; ++i) host.Input(c)[static_cast<std::size_t>(i)] = 0.001f * static_cast<float>(i + 100 * c + block);
    host.RunBlock();
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < 64; ++i)
        ASSERT_EQ(host.Output(c)[static_cast<std::size_t>(i)], host.Input(c)[static_cast<std::size_t>(i)])
            << "block " << block << " channel " << c << " sample " << i;
  }
  host.Dispatch(effMainsChanged, 0, 0);
  host.Close();
}

TEST_F(ExportedPlugin, ShortIdsArePaddedAndHighCharactersAreSigned) {
  const fs::path plugin = Export(PassThroughDocument(krtest::PatchSpec().Id("\xC3\xA9z").Flags(1)),
                                 kr::packaging::ExportForm::StoredResource, "Odd.so");
  HostHarness host;
  ASSERT_TRUE(host.Load(plugin.string())) << host.Error();
  AEffect* effect = host.CallMain();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->uniqueID, Packed("\xC3\xA9z "));
  EXPECT_NE(effect->flags & effFlagsIsSynth, 0);
  host.Close();
}

TEST_F(ExportedPlugin, DataFileFormLoadsThePlainDocumentBeside) {
  const fs::path plugin = Export(PassThroughDocument(krtest::PatchSpec().Id("DaT1").Pairs(1)),
                                 kr::packaging::ExportForm::DataFileBeside, "Beside.so");
  EXPECT_TRUE(fs::exists(dir.path() / "Beside.dat"));
  HostHarness host;
  ASSERT_TRUE(host.Load(plugin.string())) << host.Error();
  AEffect* effect = host.CallMain();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->uniqueID, Packed("DaT1"));
  EXPECT_EQ(effect->numInputs, 1);
  EXPECT_EQ(effect->numOutputs, 1);
  host.Close();
}

TEST_F(ExportedPlugin, ADamagedDocumentGivesNull) {
  auto bytes = PassThroughDocument();
  bytes.resize(bytes.size() / 2);
  const fs::path plugin = Export(bytes, kr::packaging::ExportForm::StoredResource, "Broken.so");
  HostHarness host;
  ASSERT_TRUE(host.Load(plugin.string())) << host.Error();
  EXPECT_EQ(host.CallMain(), nullptr);
}

}  // namespace
