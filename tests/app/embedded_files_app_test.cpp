// The files a stored document carries, as the application hands them out:
// libraries beside the plug-in, samples in memory served to modules.
#include <filesystem>

#include <gtest/gtest.h>

#include "app/app_vst.h"
#include "app_test_documents.h"
#include "document/module_file_opener.h"
#include "platform/platform.h"
#include "registry/module_registry.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

namespace fs = std::filesystem;
using krtest::PassThroughDocument;
using krtest::ReadFile;
using krtest::WriteFile;

const std::vector<std::uint8_t> kLibraryBytes = {'L', 'I', 'B', 1, 2, 3};
const std::vector<std::uint8_t> kLoopBytes = {'R', 'I', 'F', 'F', 9, 9};

class EmbeddedAtStartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(Plugin(), {0x7f, 'E', 'L', 'F'});
    fs::last_write_time(Plugin(), fs::file_time_type::clock::now() - std::chrono::hours(1));
    WriteFile(dir.path() / "Synth.dat",
              PassThroughDocument(krtest::PatchSpec().File("Filters.krm", kLibraryBytes).File("Loop.WAV", kLoopBytes)));
    app.SetPluginPath(Plugin().string());
  }
  fs::path Plugin() const { return dir.path() / "Synth.so"; }
  fs::path Folder() const { return dir.path() / "Synth"; }

  krtest::TempDir dir;
  CKestruneAppVST app;
};

TEST_F(EmbeddedAtStartUp, LibraryIsWrittenBesideThePluginAndRegisteredTheWaveStaysInMemory) {
  ASSERT_TRUE(app.Initialise());
  const fs::path library = Folder() / "Filters.krm";
  EXPECT_EQ(ReadFile(library), kLibraryBytes);
  const auto paths = ModuleRegistry::Get().ModuleLibraryPaths();
  EXPECT_NE(std::find(paths.begin(), paths.end(), library.string()), paths.end());
  EXPECT_EQ(app.EmbeddedFiles().Count(), 1u);  // Loop.WAV: the extension is compared lower-cased
  EXPECT_FALSE(fs::exists(Folder() / "Loop.WAV"));
}

TEST_F(EmbeddedAtStartUp, ALibraryNewerOnDiskIsNotRewritten) {
  fs::create_directories(Folder());
  const std::vector<std::uint8_t> mine = {'M', 'I', 'N', 'E'};
  WriteFile(Folder() / "Filters.krm", mine);  // written now: newer than the plug-in
  ASSERT_TRUE(app.Initialise());
  EXPECT_EQ(ReadFile(Folder() / "Filters.krm"), mine);
  EXPECT_TRUE(app.LastEmbeddedOutcome().written.empty());
  EXPECT_EQ(app.LastEmbeddedOutcome().registered.size(), 1u);
}

TEST_F(EmbeddedAtStartUp, ALibraryOlderOnDiskIsRewritten) {
  fs::create_directories(Folder());
  WriteFile(Folder() / "Filters.krm", {'O', 'L', 'D'});
  fs::last_write_time(Folder() / "Filters.krm", fs::file_time_type::clock::now() - std::chrono::hours(2));
  ASSERT_TRUE(app.Initialise());
  EXPECT_EQ(ReadFile(Folder() / "Filters.krm"), kLibraryBytes);
}

TEST_F(EmbeddedAtStartUp, LoopWithDefaultExtensionWavResolvesToThePluginFolderThenTheEmbeddedBytes) {
  ASSERT_TRUE(app.Initialise());
  const std::string sep(1, platform::PathSeparator());
  const std::string expected = dir.path().string() + sep + "Synth" + sep + "loop.wav";
  EXPECT_EQ(kr::ResolveModuleFileName("loop", "wav",
                                      [this](std::string_view e) { return app.DefaultDirectory(e); }),
            expected);

  auto stream = app.OpenFileForModule("loop", "wav");  // nothing on disk: the embedded Loop.WAV
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->Path(), expected);
  std::vector<std::uint8_t> bytes(16);
  bytes.resize(stream->Read(bytes));
  EXPECT_EQ(bytes, kLoopBytes);

  fs::create_directories(Folder());
  WriteFile(Folder() / "loop.wav", {'D', 'I', 'S', 'K'});  // the disk comes first
  stream = app.OpenFileForModule("loop", "wav");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->Size(), 4u);

  EXPECT_EQ(app.OpenFileForModule("missing", "wav"), nullptr);
}

}  // namespace
