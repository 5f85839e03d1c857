#include "engine/command_launcher.h"

#include <filesystem>

#include "base/command_line.h"
#include "platform/platform.h"
#include "registry/file_types.h"

namespace kr {

namespace {

void Report(std::string_view moduleName, const std::string& text) {
  platform::ShowMessageBox({std::string(moduleName) + " : " + text, {}, platform::MessageIcon::Warning});
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), error);
}

}  // namespace

CommandLauncher::CommandLauncher(GuiPump& pump) : pump_(pump), folder_(DefaultWorkingFolder()) {}

CommandLauncher::~CommandLauncher() {
  pump_.RemoveFromRefreshList(this);
  platform::ReapChildProcesses();
}

std::string CommandLauncher::DefaultWorkingFolder() {
  const std::string plugin = platform::ModulePath();
  if (plugin.empty()) return {};
  const std::string files = PluginFolderFor(plugin, platform::PathSeparator());
  if (IsFolder(files)) return files;
  const std::size_t slash = plugin.find_last_of("/\\");
  return slash == std::string::npos ? std::string{} : plugin.substr(0, slash + 1);
}

void CommandLauncher::Launch(std::string_view commandLine, std::string_view moduleName) {
  const std::vector<std::string> args = kr::SplitCommandLine(commandLine);
  if (args.empty()) return;
  if (platform::ReapChildProcesses() >= kMaxRunning) {
    Report(moduleName, std::to_string(kMaxRunning) + " programs started by this patch are still running; \"" +
                           args.front() + "\" was not started.");
    return;
  }
  const platform::LaunchResult result = platform::LaunchProcess(args, folder_);
  if (!result.started) {
    Report(moduleName, "cannot start \"" + args.front() + "\": " + result.error);
    return;
  }
  if (!listed_) {
    pump_.AddToRefreshList(this);
    listed_ = true;
  }
}

void CommandLauncher::ReportTooLong(std::string_view moduleName) {
  Report(moduleName, "the command is too long to start.");
}

bool CommandLauncher::PeriodicUpdate() {
  listed_ = platform::ReapChildProcesses() > 0;
  return listed_;
}

}  // namespace kr
