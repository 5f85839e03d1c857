#include "document/module_file_opener.h"

#include <gtest/gtest.h>

#include "base/path_names.h"
#include "platform/platform.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

using namespace kr;

namespace {

using krtest::Bytes;
using kr::PathStyle;

// What the registry's file-type table answers: plug-in folder, plug-in
// name, separator, for every extension.
kr::DirectoryForExtension PluginFolders(const std::string& pluginPath, char separator) {
  return [=](std::string_view) {
    return std::string(kr::FolderPart(pluginPath)) + std::string(kr::FileStem(pluginPath)) + separator;
  };
}

TEST(ModuleFileOpener, WindowsNamesResolveAgainstThePluginFolder) {
  const auto folders = PluginFolders("C:\\x\\Synth.dll", '\\');
  const auto resolve = [&](std::string_view name, std::string_view extension) {
    return kr::ResolveModuleFileName(name, extension, folders, PathStyle::Windows);
  };
  EXPECT_EQ(resolve("loop", "wav"), "C:\\x\\Synth\\loop.wav");
  EXPECT_EQ(resolve("Loop.WAV", "wav"), "C:\\x\\Synth\\Loop.WAV");
  EXPECT_EQ(resolve("sub\\loop", "wav"), "C:\\x\\Synth\\sub\\loop.wav");  // no drive: still relative
  EXPECT_EQ(resolve("D:\\s\\loop", "wav"), "D:\\s\\loop.wav");
  EXPECT_EQ(resolve("odd.wav:", "wav"), "C:\\x\\Synth\\odd.wav:");  // a colon at the end is no drive
  EXPECT_EQ(resolve("odd:", "wav"), "odd:.wav");  // the extension comes first, then the colon is not last
  EXPECT_EQ(resolve("dir.v2\\loop", "mid"), "C:\\x\\Synth\\dir.v2\\loop.mid");
  EXPECT_EQ(resolve("loop.", "wav"), "C:\\x\\Synth\\loop.wav");
  EXPECT_EQ(resolve("loop", ""), "C:\\x\\Synth\\loop");
  EXPECT_EQ(resolve("", "wav"), "");
}

TEST(ModuleFileOpener, PosixNamesWithASlashAreLeftAlone) {
  std::vector<std::string> asked;
  const kr::DirectoryForExtension folders = [&](std::string_view extension) {
    asked.emplace_back(extension);
    return std::string("/p/Synth/");
  };
  EXPECT_EQ(kr::ResolveModuleFileName("loop", "wav", folders, PathStyle::Posix), "/p/Synth/loop.wav");
  EXPECT_EQ(kr::ResolveModuleFileName("Song.MID", "wav", folders, PathStyle::Posix), "/p/Synth/Song.MID");
  EXPECT_EQ(kr::ResolveModuleFileName("/abs/loop", "wav", folders, PathStyle::Posix), "/abs/loop.wav");
  EXPECT_EQ(kr::ResolveModuleFileName("sub/loop.wav", "wav", folders, PathStyle::Posix), "sub/loop.wav");
  EXPECT_EQ(asked, (std::vector<std::string>{"wav", "mid"}));  // the folder is chosen by the final extension
}

class ModuleFileOpening : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_ = (dir_.path() / "Synth.so").string();
    folders_ = PluginFolders(plugin_, platform::PathSeparator());
    const std::vector<kr::EmbeddedFileRecord> list = {{"Loop.WAV", embedded_}};
    embedded_files_.Accept(list, {});
  }
  std::string ReadAll(kr::ReadStream& stream) {
    std::string text(static_cast<std::size_t>(stream.Size()), '\0');
    const std::size_t n = stream.Read(std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    text.resize(n);
    return text;
  }

  krtest::TempDir dir_;
  std::string plugin_;
  kr::DirectoryForExtension folders_;
  kr::EmbeddedFiles embedded_files_;
  const Bytes embedded_ = krtest::BytesOf("embedded bytes");
};

TEST_F(ModuleFileOpening, TheDiskComesFirstThenTheEmbeddedFile) {
  const std::string expected = (dir_.path() / "Synth").string() + platform::PathSeparator() + "loop.wav";
  EXPECT_EQ(kr::ResolveModuleFileName("loop", "wav", folders_), expected);

  auto fromMemory = kr::OpenModuleFile("loop", "wav", folders_, embedded_files_);
  ASSERT_NE(fromMemory, nullptr);
  EXPECT_EQ(fromMemory->Path(), expected);
  EXPECT_EQ(ReadAll(*fromMemory), "embedded bytes");

  std::filesystem::create_directory(dir_.path() / "Synth");
  krtest::WriteFileBytes(expected, krtest::BytesOf("disk bytes"));
  auto fromDisk = kr::OpenModuleFile("loop", "wav", folders_, embedded_files_);
  ASSERT_NE(fromDisk, nullptr);
  EXPECT_EQ(ReadAll(*fromDisk), "disk bytes");

  EXPECT_EQ(kr::OpenModuleFile("missing", "wav", folders_, embedded_files_), nullptr);
  // A folder of that name is not a file to read.
  std::filesystem::create_directory(dir_.path() / "Synth" / "folder.wav");
  EXPECT_EQ(kr::OpenModuleFile("folder", "wav", folders_, embedded_files_), nullptr);
}

TEST_F(ModuleFileOpening, StreamsReadAndSeekWithinTheirBytes) {
  std::filesystem::create_directory(dir_.path() / "Synth");
  krtest::WriteFileBytes(dir_.path() / "Synth" / "disk.wav", krtest::BytesOf("embedded bytes"));
  for (const char* name : {"loop", "disk"}) {
    auto stream = kr::OpenModuleFile(name, "wav", folders_, embedded_files_);
    ASSERT_NE(stream, nullptr) << name;
    std::uint8_t four[4];
    EXPECT_EQ(stream->Read(four), 4u);
    EXPECT_EQ(std::string(four, four + 4), "embe");
    EXPECT_TRUE(stream->Seek(9));
    EXPECT_EQ(stream->Position(), 9u);
    std::uint8_t rest[16];
    EXPECT_EQ(stream->Read(rest), 5u);
    EXPECT_EQ(std::string(rest, rest + 5), "bytes");
    EXPECT_EQ(stream->Read(rest), 0u);
    EXPECT_FALSE(stream->Seek(15));
    EXPECT_TRUE(stream->Seek(14));
    EXPECT_TRUE(stream->Seek(0));
    EXPECT_EQ(stream->Read(four), 4u);
  }
}

}  // namespace
