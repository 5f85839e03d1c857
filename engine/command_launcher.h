// Starts the programs that "OS Command" modules ask for, on the GUI thread:
// the command line split into arguments (no shell), the working folder
// given to the child only, at most kMaxRunning children at once, and the
// finished ones collected on the GUI pump's rounds. A program that cannot
// start is reported in a message box, never waited for.
#pragma once

#include <string>
#include <string_view>

#include "engine/gui_pump.h"

namespace kr {

class CommandLauncher final : public Refreshable {
 public:
  static constexpr int kMaxRunning = 16;

  explicit CommandLauncher(GuiPump& pump);
  ~CommandLauncher() override;
  CommandLauncher(const CommandLauncher&) = delete;
  CommandLauncher& operator=(const CommandLauncher&) = delete;

  // Where programs start: the folder named after the plug-in beside it when
  // that exists, else the plug-in's own folder.
  static std::string DefaultWorkingFolder();
  void SetWorkingFolder(std::string folder) { folder_ = std::move(folder); }
  const std::string& WorkingFolder() const { return folder_; }

  // GUI thread. moduleName prefixes any message.
  void Launch(std::string_view commandLine, std::string_view moduleName);
  void ReportTooLong(std::string_view moduleName);

  // Collects finished children; false (off the refresh list) when none runs.
  bool PeriodicUpdate() override;

 private:
  GuiPump& pump_;
  std::string folder_;
  bool listed_ = false;
};

}  // namespace kr
