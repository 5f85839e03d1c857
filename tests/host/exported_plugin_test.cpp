// The real plug-in with a stored document added the way an export does: the
// system's own loader must find the stored resource in the copy (on Windows
// FindResource in the PE file), and the host harness and the kestrune program
// must load the copy through its entry.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "formats/image/plugin_export.h"
#include "formats/image/scramble.h"
#include "formats/image/stored_document.h"
#include "host/host_harness.h"
#include "platform/platform.h"
#include "support/command.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string PluginExtension() { return fs::path(KR_PLUGIN_PATH).extension().string(); }

// A path the system's command shell and loader take (drive and backslashes on Windows).
std::string NativePath(const fs::path& path) { return fs::absolute(path).make_preferred().string(); }

class ExportedPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    const kr::packaging::ExportResult result =
        kr::packaging::ExportPlugin(KR_PLUGIN_PATH, document_, plugin_, kr::packaging::ExportForm::StoredResource);
    ASSERT_TRUE(result.ok()) << result.error;
  }

  krtest::TempDir dir_;
  const Bytes document_ = Bytes{'n', 'o', 't', ' ', 'a', ' ', 'd', 'o', 'c', 'u', 'm', 'e', 'n', 't'};
  const std::string plugin_ = NativePath(dir_.path() / ("MySynth" + PluginExtension()));
};

TEST_F(ExportedPlugin, SystemLoaderFindsTheStoredDocument) {
  auto stored = platform::LoadStoredResourceFromFile(plugin_, "KR1", 165);
  ASSERT_TRUE(stored.has_value());
  Bytes scrambled = document_;
  kr::Scramble(scrambled);
  EXPECT_EQ(*stored, scrambled);
  EXPECT_EQ(kr::ReadStoredDocument(plugin_), document_);
  EXPECT_FALSE(platform::LoadStoredResourceFromFile(KR_PLUGIN_PATH, "KR1", 165).has_value());
}

TEST_F(ExportedPlugin, LoadsThroughItsEntryAndRefusesAnUnreadableDocument) {
  HostHarness host;
  ASSERT_TRUE(host.Load(plugin_)) << host.Error();
  EXPECT_EQ(host.CallMain(), nullptr);  // the carried bytes are no document
  ASSERT_FALSE(host.Calls().empty());
  EXPECT_EQ(host.Calls()[0].opcode, vst::audioMasterVersion);
}

TEST_F(ExportedPlugin, KestruneInfoSaysTheStoredDocumentCouldNotBeLoaded) {
#if defined(_WIN32)
  const std::string programPath = NativePath(fs::path(KR_BINARY_DIR) / "kestrune.exe");
#else
  const std::string programPath = NativePath(fs::path(KR_BINARY_DIR) / "kestrune");
#endif
  if (!fs::exists(programPath)) GTEST_SKIP() << "kestrune not built";
  int status = 0;
  const std::string out = krtest::RunCommand(programPath + " info " + plugin_, status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("plug-in:       " + plugin_), std::string::npos) << out;
  EXPECT_NE(out.find("main returned null: the stored document could not be loaded"), std::string::npos) << out;
}

}  // namespace
