// Runs a command line through the system's shell with its output and errors
// captured, for the tests of the kestrune program and other tools.
#pragma once

#include <string>

namespace krtest {

struct CommandRun {
  int status = -1;  // the exit status; -1 when it could not run or did not exit
  std::string output;
};

CommandRun RunCommand(const std::string& command);

// Back-compatible form: the output, with the status through `status`.
inline std::string RunCommand(const std::string& command, int& status) {
  CommandRun run = RunCommand(command);
  status = run.status;
  return run.output;
}

}  // namespace krtest
