#include "support/command.h"

#include <array>
#include <cstdio>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace krtest {

CommandRun RunCommand(const std::string& command) {
  CommandRun run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 512> buffer{};
  while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) run.output += buffer.data();
  const int raw = pclose(pipe);
#if defined(_WIN32)
  run.status = raw;  // _pclose gives the exit code itself
#else
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  return run;
}

}  // namespace krtest
