// Child processes on Linux: posix_spawnp with an argument vector (no
// shell), the working folder changed in the child only, and the children
// collected without waiting.
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/platform.h"

extern char** environ;  // the process environment, handed to spawned programs

namespace kr {

namespace platform {

namespace {

// Every plug-in instance in the process shares one list of children.
std::mutex childrenMutex;
std::vector<pid_t> children;

// The signals a host commonly catches or blocks: the child starts with
// their default actions and nothing blocked.
constexpr int kResetSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2, SIGCHLD};

class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
};

}  // namespace

LaunchResult LaunchProcess(const std::vector<std::string>& args, const std::string& workingFolder) {
  if (args.empty() || args.front().empty()) return {false, "no program named"};
  SpawnSetup setup;
  if (!workingFolder.empty()) {
    const int err = posix_spawn_file_actions_addchdir_np(&setup.actions, workingFolder.c_str());
    if (err != 0) return {false, std::strerror(err)};
  }
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int s : kResetSignals) sigaddset(&defaults, s);
  posix_spawnattr_setsigmask(&setup.attributes, &none);
  posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
  posix_spawnattr_setpgroup(&setup.attributes, 0);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  // glibc reports a program that cannot be executed (missing, not
  // executable, a folder that does not exist) here, not in the child.
  const int err = posix_spawnp(&pid, argv[0], &setup.actions, &setup.attributes, argv.data(), environ);
  if (err != 0) return {false, std::strerror(err)};
  std::lock_guard lock(childrenMutex);
  children.push_back(pid);
  return {true, {}};
}

LaunchResult OpenWithShellVerb(std::string_view verb, const std::string& path) {
  if (path.empty()) return {false, "no file named"};
  std::string target = path;
  if (verb == "explore") {
    const std::size_t slash = target.find_last_of('/');
    target = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  } else if (verb != "open" && verb != "edit") {
    return {false, "no action for this verb here"};
  }
  // A name starting with '-' would read as an option of xdg-open.
  if (target.front() == '-') target.insert(0, "./");
  ReapChildProcesses();
  return LaunchProcess({"xdg-open", target}, {});
}

int ReapChildProcesses() {
  std::lock_guard lock(childrenMutex);
  std::erase_if(children, [](pid_t pid) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    return r == pid || (r < 0 && errno == ECHILD);  // ended, or collected by someone else
  });
  return static_cast<int>(children.size());
}

}  // namespace platform

}  // namespace kr
