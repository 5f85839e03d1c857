#include "document/embedded_files.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/path_names.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

using namespace kr;

namespace {

using krtest::Bytes;
using kr::EmbeddedFileKind;
using kr::EmbeddedFileRecord;
namespace fs = std::filesystem;

TEST(EmbeddedFiles, ExtensionsAreComparedLowerCasedAfterTheLastDot) {
  EXPECT_EQ(kr::ExtensionLowerCase("Loop.WAV"), "wav");
  EXPECT_EQ(kr::ExtensionLowerCase("a.b.Sf2"), "sf2");
  EXPECT_EQ(kr::ExtensionLowerCase("noext"), "");
  EXPECT_EQ(kr::ExtensionLowerCase("dir.wav\\lib"), "");
  EXPECT_EQ(kr::ExtensionLowerCase("dir.wav/lib"), "");
  EXPECT_EQ(kr::ExtensionLowerCase("trailing."), "");

  for (const char* kept : {"Loop.WAV", "song.mid", "piano.SF2", "x\\y.wav"})
    EXPECT_EQ(kr::ClassifyEmbeddedFile(kept), EmbeddedFileKind::KeptInMemory) << kept;
  for (const char* library : {"Filter.krm", "x.dll", "readme.txt", "noext", "dir.wav\\lib", "song.midi"})
    EXPECT_EQ(kr::ClassifyEmbeddedFile(library), EmbeddedFileKind::ModuleLibrary) << library;
}

class EmbeddedFilesOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_ = (dir_.path() / "Synth.so").string();
    krtest::WriteFileBytes(plugin_, krtest::BytesOf("plug-in"));
    libraryDir_ = dir_.path() / "Synth";
    setup_.pluginPath = plugin_;
    setup_.directoryFor = [this](std::string_view extension) {
      asked_.emplace_back(extension);
      return (libraryDir_ / "").string();
    };
    setup_.registerLibrary = [this](const std::string& path) { registered_.push_back(path); };
  }
  void AgeBy(const fs::path& path, std::chrono::hours age) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
  }

  krtest::TempDir dir_;
  std::string plugin_;
  fs::path libraryDir_;
  kr::EmbeddedFileSetup setup_;
  std::vector<std::string> asked_, registered_;
  kr::EmbeddedFiles files_;
  const Bytes wave_ = krtest::BytesOf("RIFF....WAVE");
  const Bytes library_ = krtest::BytesOf("library bytes");
};

TEST_F(EmbeddedFilesOnDisk, LibrariesAreWrittenAndRegisteredOthersStayInMemory) {
  const std::vector<EmbeddedFileRecord> list = {{"Loop.WAV", wave_}, {"Filter.krm", library_}, {"song.mid", wave_}};
  const auto outcome = files_.Accept(list, setup_);
  EXPECT_TRUE(outcome.accepted);
  EXPECT_EQ(files_.Count(), 2u);
  EXPECT_EQ(asked_, std::vector<std::string>{"dll"});
  const std::string written = (libraryDir_ / "Filter.krm").string();
  EXPECT_EQ(krtest::ReadFileBytes(written), library_);
  EXPECT_EQ(outcome.written, std::vector<std::string>{written});
  EXPECT_EQ(registered_, std::vector<std::string>{written});
  EXPECT_FALSE(fs::exists(libraryDir_ / "Loop.WAV"));
}

TEST_F(EmbeddedFilesOnDisk, ACopyNewerThanThePluginIsKeptAnOlderOneRewritten) {
  fs::create_directory(libraryDir_);
  krtest::WriteFileBytes(libraryDir_ / "Newer.krm", krtest::BytesOf("on disk"));
  krtest::WriteFileBytes(libraryDir_ / "Older.krm", krtest::BytesOf("on disk"));
  AgeBy(plugin_, std::chrono::hours(24));
  AgeBy(libraryDir_ / "Older.krm", std::chrono::hours(48));

  const std::vector<EmbeddedFileRecord> list = {{"Newer.krm", library_}, {"Older.krm", library_}};
  const auto outcome = files_.Accept(list, setup_);
  EXPECT_EQ(krtest::ReadFileBytes(libraryDir_ / "Newer.krm"), krtest::BytesOf("on disk"));
  EXPECT_EQ(krtest::ReadFileBytes(libraryDir_ / "Older.krm"), library_);
  EXPECT_EQ(outcome.written, std::vector<std::string>{(libraryDir_ / "Older.krm").string()});
  EXPECT_EQ(registered_.size(), 2u);  // both are registered
}

TEST_F(EmbeddedFilesOnDisk, ASecondLoadKeepsTheFirstList) {
  const std::vector<EmbeddedFileRecord> first = {{"Loop.WAV", wave_}};
  const std::vector<EmbeddedFileRecord> second = {{"Other.wav", wave_}, {"Late.krm", library_}};
  files_.Accept(first, setup_);
  const auto outcome = files_.Accept(second, setup_);
  EXPECT_FALSE(outcome.accepted);
  EXPECT_EQ(files_.Count(), 1u);
  EXPECT_NE(files_.OpenByFileName("loop.wav", "x"), nullptr);
  EXPECT_EQ(files_.OpenByFileName("Other.wav", "x"), nullptr);
  EXPECT_TRUE(registered_.empty());
  EXPECT_FALSE(fs::exists(libraryDir_ / "Late.krm"));
}

TEST_F(EmbeddedFilesOnDisk, LibraryNamesCannotLeaveTheLibraryFolder) {
  const std::vector<EmbeddedFileRecord> list = {
      {"..\\..\\Escape.krm", library_}, {"../Up.krm", library_}, {"..", library_}, {"", library_},
      {"C:Stream.krm", library_}};
  const auto outcome = files_.Accept(list, setup_);
  EXPECT_TRUE(fs::exists(libraryDir_ / "Escape.krm"));
  EXPECT_TRUE(fs::exists(libraryDir_ / "Up.krm"));
  EXPECT_FALSE(fs::exists(dir_.path() / "Up.krm"));
  EXPECT_EQ(outcome.refused, (std::vector<std::string>{"..", "", "C:Stream.krm"}));
  EXPECT_EQ(registered_.size(), 2u);
}

TEST_F(EmbeddedFilesOnDisk, AnUnwritableFolderRegistersNothing) {
  krtest::WriteFileBytes(libraryDir_, krtest::BytesOf("a file where the folder should be"));
  const std::vector<EmbeddedFileRecord> list = {{"Filter.krm", library_}};
  const auto outcome = files_.Accept(list, setup_);
  EXPECT_TRUE(registered_.empty());
  EXPECT_EQ(outcome.refused, std::vector<std::string>{"Filter.krm"});
}

TEST(EmbeddedFiles, OpensTheFirstMatchByFileNameIgnoringCase) {
  kr::EmbeddedFiles files;
  const Bytes a = krtest::BytesOf("first"), b = krtest::BytesOf("second");
  const std::vector<EmbeddedFileRecord> list = {{"C:\\samples\\Loop.WAV", a}, {"loop.wav", b}};
  files.Accept(list, {});
  auto stream = files.OpenByFileName("/some/folder/LOOP.wav", "/some/folder/LOOP.wav");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->Size(), a.size());
  EXPECT_EQ(stream->Path(), "/some/folder/LOOP.wav");
  EXPECT_EQ(files.OpenByFileName("loop.wa", "x"), nullptr);
  EXPECT_EQ(files.OpenByFileName("", "x"), nullptr);
}

}  // namespace

namespace {

// Where the folder beside the plug-in cannot be made (a file stands in its
// place), libraries go to the per-user cache, one subfolder per content.
class EmbeddedLibrariesInTheCache : public EmbeddedFilesOnDisk {
 protected:
  void SetUp() override {
    EmbeddedFilesOnDisk::SetUp();
    krtest::WriteFileBytes(libraryDir_, krtest::BytesOf("a file, not a folder"));
    setup_.cacheFolder = (dir_.path() / "cache" / "Kestrune" / "libraries").string();
  }
  fs::path Cached(const Bytes& bytes, const std::string& name) const {
    return dir_.path() / "cache" / "Kestrune" / "libraries" / kr::ContentHashName(bytes) / name;
  }
};

TEST_F(EmbeddedLibrariesInTheCache, EachContentHasItsOwnFileAndTheSameBytesAreNotWrittenAgain) {
  const Bytes other = krtest::BytesOf("other library bytes");
  const std::vector<EmbeddedFileRecord> list = {{"Filter.krm", library_}};
  auto outcome = files_.Accept(list, setup_);
  EXPECT_EQ(krtest::ReadFileBytes(Cached(library_, "Filter.krm")), library_);
  EXPECT_EQ(registered_, std::vector<std::string>{Cached(library_, "Filter.krm").string()});
  EXPECT_EQ(outcome.written, registered_);

  // Another plug-in copy with the same library: found, not rewritten.
  kr::EmbeddedFiles second;
  outcome = second.Accept(list, setup_);
  EXPECT_TRUE(outcome.written.empty());
  EXPECT_EQ(outcome.registered, std::vector<std::string>{Cached(library_, "Filter.krm").string()});

  // A copy carrying other bytes under the same name gets a file of its own.
  kr::EmbeddedFiles third;
  const std::vector<EmbeddedFileRecord> changed = {{"Filter.krm", other}};
  outcome = third.Accept(changed, setup_);
  EXPECT_EQ(krtest::ReadFileBytes(Cached(other, "Filter.krm")), other);
  EXPECT_EQ(krtest::ReadFileBytes(Cached(library_, "Filter.krm")), library_);
}

TEST_F(EmbeddedLibrariesInTheCache, WithoutACacheFolderTheLibraryIsRefused) {
  setup_.cacheFolder.clear();
  const std::vector<EmbeddedFileRecord> list = {{"Filter.krm", library_}};
  const auto outcome = files_.Accept(list, setup_);
  EXPECT_EQ(outcome.refused, std::vector<std::string>{"Filter.krm"});
  EXPECT_TRUE(registered_.empty());
}

TEST(ContentHashName, SixteenHexDigitsThatFollowTheBytes) {
  const Bytes a = krtest::BytesOf("a");
  EXPECT_EQ(kr::ContentHashName(a), "af63dc4c8601ec8c");  // 64-bit FNV-1a of "a"
  EXPECT_EQ(kr::ContentHashName({}), "cbf29ce484222325");
  EXPECT_NE(kr::ContentHashName(krtest::BytesOf("ab")), kr::ContentHashName(krtest::BytesOf("ba")));
}

}  // namespace
