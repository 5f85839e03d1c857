// Starting programs for "OS Command": arguments as a list, the working
// folder the child's alone, children collected, a missing program reported
// rather than waited for; and command lines split into arguments.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/command_line.h"
#include "engine/command_launcher.h"
#include "platform/platform.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

using namespace kr;

namespace fs = std::filesystem;

namespace {

// Waits (up to five seconds) for a condition the child brings about.
template <class Fn>
bool Eventually(Fn&& done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

#if defined(_WIN32)
const std::vector<std::string> kWriteFolder = {"cmd.exe", "/c", "cd > where.txt"};
#else
const std::vector<std::string> kWriteFolder = {"sh", "-c", "pwd > where.txt"};
#endif

}  // namespace

TEST(CommandLine, SplitsWordsKeepsQuotedBlanksAndBackslashes) {
  using kr::SplitCommandLine;
  EXPECT_EQ(SplitCommandLine("  notify-send  hello\tworld "), (std::vector<std::string>{"notify-send", "hello", "world"}));
  EXPECT_EQ(SplitCommandLine(R"(say "a b" c)"), (std::vector<std::string>{"say", "a b", "c"}));
  EXPECT_EQ(SplitCommandLine(R"(x "" y)"), (std::vector<std::string>{"x", "", "y"}));
  EXPECT_EQ(SplitCommandLine(R"(echo \"quoted\" "in \"side\"")"),
            (std::vector<std::string>{"echo", "\"quoted\"", "in \"side\""}));
  EXPECT_EQ(SplitCommandLine(R"(C:\Program Files\x.exe)"), (std::vector<std::string>{"C:\\Program", "Files\\x.exe"}));
  EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\x.exe" /q)"),
            (std::vector<std::string>{"C:\\Program Files\\x.exe", "/q"}));
  EXPECT_TRUE(SplitCommandLine("   ").empty());
  EXPECT_EQ(SplitCommandLine(R"(open "unfinished)"), (std::vector<std::string>{"open", "unfinished"}));
}

TEST(Processes, AProgramRunsInItsOwnFolderWithoutMovingOurs) {
  krtest::TempDir dir;
  const fs::path before = fs::current_path();
  const platform::LaunchResult result = platform::LaunchProcess(kWriteFolder, dir.path().string());
  ASSERT_TRUE(result.started) << result.error;
  EXPECT_EQ(fs::current_path(), before) << "this process's folder never changes";
  ASSERT_TRUE(Eventually([&] { return !FirstLine(dir.path() / "where.txt").empty(); }));
#if !defined(_WIN32)
  EXPECT_EQ(fs::path(FirstLine(dir.path() / "where.txt")), fs::canonical(dir.path()));
#endif
  EXPECT_TRUE(Eventually([] { return platform::ReapChildProcesses() == 0; })) << "the finished child is collected";
}

TEST(Processes, AMissingProgramIsReportedNotWaitedFor) {
  const platform::LaunchResult result = platform::LaunchProcess({"kestrune-no-such-program"}, "");
  EXPECT_FALSE(result.started);
  EXPECT_FALSE(result.error.empty());
  EXPECT_FALSE(platform::LaunchProcess({}, "").started);

  krtest::MessageCapture capture;
  GuiPump pump;
  CommandLauncher launcher(pump);
  launcher.Launch("kestrune-no-such-program --flag", "Run It");
  launcher.ReportTooLong("Run It");
  launcher.Launch("   ", "Run It");  // nothing to start, nothing to say
  ASSERT_EQ(capture.texts.size(), 2u);
  EXPECT_EQ(capture.texts[0].rfind("Run It : cannot start \"kestrune-no-such-program\": ", 0), 0u) << capture.texts[0];
  EXPECT_EQ(capture.texts[1], "Run It : the command is too long to start.");
  EXPECT_FALSE(CommandLauncher::DefaultWorkingFolder().empty());
}
