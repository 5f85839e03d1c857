// Embedded files are written out only when the target is missing or older.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/document_builder.h"
#include "document/document_file.h"
#include "document/imbedded_file.h"
#include "platform/platform.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ImbeddedFile, WritesWhenMissingOrOlderOnly) {
  krtest::TempDir dir;
  const std::string folder = dir.path().string() + "/";
  const imbedded_file file("sample.wav", {'n', 'e', 'w'});

  EXPECT_EQ(file.WriteToDirectory(folder, 0), folder + "sample.wav");
  EXPECT_EQ(Slurp(dir.path() / "sample.wav"), "new");

  // A newer file on disk stays as it is.
  std::ofstream(dir.path() / "sample.wav", std::ios::binary) << "user";
  const std::int64_t now = *platform::FileLastWriteTime(folder + "sample.wav");
  EXPECT_EQ(file.WriteToDirectory(folder, now - 100), folder + "sample.wav");
  EXPECT_EQ(Slurp(dir.path() / "sample.wav"), "user");

  // An older one is replaced.
  EXPECT_EQ(file.WriteToDirectory(folder, now + 100), folder + "sample.wav");
  EXPECT_EQ(Slurp(dir.path() / "sample.wav"), "new");
}

TEST(ImbeddedFile, RefusesUnwritableTargetsAndNamesThatLeaveTheFolder) {
  krtest::TempDir dir;
  const std::string folder = dir.path().string() + "/";
  EXPECT_EQ(imbedded_file("x.wav", {}).WriteToDirectory(folder + "missing/", 0), "");
  EXPECT_EQ(imbedded_file("../escape.wav", {1}).WriteToDirectory(folder, 0), "");
  EXPECT_EQ(imbedded_file("a\\b.wav", {1}).WriteToDirectory(folder, 0), "");
  EXPECT_FALSE(fs::exists(dir.path().parent_path() / "escape.wav"));
}

TEST(ImbeddedFile, MissingSourceShowsTheMessage) {
  krtest::MessageCapture messages;
  EXPECT_EQ(imbedded_file::FromDisk("/no/such/file.wav"), nullptr);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "Can't find/open imbeded file: /no/such/file.wav");
}

}  // namespace

namespace {

// The files a document carries are handed over as soon as the header is
// read: a document whose root container is cut off still hands them over
// (a module library among them must be in place before modules are read).
TEST(ImbeddedFile, HandedOverBeforeTheRootContainerIsRead) {
  DocumentBuilder b;
  b.EmbedFile("Lib.krm", {'l', 'i', 'b'});
  b.AddModule(b.AddContainer(b.Root()), "VCA");
  const std::vector<std::uint8_t> whole = WriteDocument(*b.Finish());
  const std::vector<std::uint8_t> cut(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(whole.size() / 3));
  std::vector<std::string> seen;
  const auto note = [&](std::span<const std::unique_ptr<imbedded_file>> files) {
    for (const auto& f : files) seen.push_back(f->Name());
  };
  const DocumentLoadResult loaded = [&] {
    krtest::MessageCapture quiet;
    return ReadDocument(cut, LoadMode::Restricted, note);
  }();
  EXPECT_EQ(loaded.document, nullptr);
  EXPECT_EQ(seen, std::vector<std::string>{"Lib.krm"});
}

}  // namespace
