#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "formats/image/pe_resource_writer.h"

using namespace kr;

namespace {

TEST(Platform, ModulePathNamesThisBinary) {
  const std::string path = platform::ModulePath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(std::filesystem::path(path).is_absolute()) << path;
#if defined(_WIN32)
  EXPECT_EQ(path.find('/'), std::string::npos) << path;  // a Windows path, as GetModuleFileName gives it
  EXPECT_EQ(platform::PathSeparator(), '\\');
#else
  EXPECT_EQ(platform::PathSeparator(), '/');
#endif
  EXPECT_NE(path.find("kr_test_platform"), std::string::npos) << path;
}

TEST(Platform, MessageSinkCapturesExactText) {
  std::vector<std::string> seen;
  auto previous = platform::SetMessageSink([&](const platform::MessageBoxRequest& r) { seen.push_back(r.text); });
  platform::ShowMessageBox({"RegisterModule Error. Module found twice. ADSR", "", platform::MessageIcon::Error});
  platform::SetMessageSink(std::move(previous));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "RegisterModule Error. Module found twice. ADSR");
}

#if defined(_WIN32)
std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Windows finds the stored resource with FindResource in a PE file; the copy
// of the plug-in gets its resource from our own PE resource writer.
TEST(Platform, StoredResourceIsReadFromAPeResource) {
  const std::string dir = ::testing::TempDir();
  const std::string target = dir + "/kr_with_resource.dll";
  const std::string payload = "scrambled-bytes";
  const auto written = kr::packaging::AddPeResource(
      FileBytes(KR_PLUGIN_PATH), "KR1", 165, std::span(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()));
  ASSERT_TRUE(written.ok()) << written.error;
  std::ofstream(target, std::ios::binary).write(reinterpret_cast<const char*>(written.image.data()),
                                                static_cast<std::streamsize>(written.image.size()));
  auto bytes = platform::LoadStoredResourceFromFile(target, "KR1", 165);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), payload);
  EXPECT_TRUE(platform::LoadStoredResourceFromFile(target, "kr1", 165).has_value());  // types match in any case
  EXPECT_FALSE(platform::LoadStoredResourceFromFile(target, "KR1", 166).has_value());
  EXPECT_FALSE(platform::LoadStoredResourceFromFile(KR_PLUGIN_PATH, "KR1", 165).has_value());  // built plug-in: none
  EXPECT_FALSE(platform::LoadStoredResourceFromFile(dir + "/missing.dll", "KR1", 165).has_value());
  // This test program carries no stored resource either.
  EXPECT_FALSE(platform::LoadStoredResource("KR1", 165).has_value());
}
#else
TEST(Platform, StoredResourceIsReadFromANamedSection) {
  const std::string dir = ::testing::TempDir();
  const std::string payload = dir + "/kr_payload.bin";
  const std::string target = dir + "/kr_with_resource.so";
  {
    std::ofstream(payload, std::ios::binary) << "scrambled-bytes";
  }
  const std::string cmd = "objcopy --add-section " + platform::ResourceSectionName("KR1", 165) + "=" + payload +
                          " " + KR_PLUGIN_PATH + " " + target;
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  auto bytes = platform::LoadStoredResourceFromFile(target, "KR1", 165);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "scrambled-bytes");
  EXPECT_FALSE(platform::LoadStoredResourceFromFile(target, "KR1", 166).has_value());
  EXPECT_FALSE(platform::LoadStoredResourceFromFile(payload, "KR1", 165).has_value());  // not an ELF file
  EXPECT_FALSE(platform::LoadStoredResourceFromFile(dir + "/missing.so", "KR1", 165).has_value());
}
#endif

TEST(Platform, LibrariesLoadAndReportErrors) {
  auto lib = platform::LoadLibrary(KR_PLUGIN_PATH);
  ASSERT_NE(lib, nullptr) << platform::LastLibraryError();
  EXPECT_NE(platform::LibrarySymbol(lib, "main"), nullptr);
  EXPECT_NE(platform::LibrarySymbol(lib, "VSTPluginMain"), nullptr);
  EXPECT_EQ(platform::LibrarySymbol(lib, "no_such_symbol"), nullptr);
  EXPECT_FALSE(platform::LastLibraryError().empty());
  platform::FreeLibrary(lib);
  EXPECT_NE(platform::LastLibraryError().find("no_such_symbol"), std::string::npos);
  EXPECT_EQ(platform::LoadLibrary("/nonexistent/lib.so"), nullptr);
  EXPECT_NE(platform::LastLibraryError().find("nonexistent"), std::string::npos);
}

TEST(Platform, FilesAndDirectories) {
  const std::string dir = ::testing::TempDir() + "/kr_platform_dir";
  EXPECT_TRUE(platform::CreateDirectory(dir));
  EXPECT_TRUE(platform::CreateDirectory(dir));  // already there
  const std::string file = dir + "/f.txt";
  std::ofstream(file) << "x";
  EXPECT_TRUE(platform::FileLastWriteTime(file).has_value());
  EXPECT_FALSE(platform::FileLastWriteTime(dir + "/none").has_value());
}

TEST(Platform, ClockAdvancesAcrossSleep) {
  const auto t0 = platform::MilliSeconds();
  platform::SleepMs(0);
  platform::SleepMs(5);
  EXPECT_GE(platform::MilliSeconds() - t0, 4u);
  EXPECT_NE(platform::CurrentThreadId(), 0u);
}

}  // namespace
