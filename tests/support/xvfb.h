// An X server of a test's own (Linux with X11): started on a display number
// no one else uses, ended with the test. Include only from a source that
// compiles alone (Xlib's names clash with ours in a batch).
#pragma once

#if KR_HAVE_X11

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace krtest {

// Connection() is null when Xvfb is missing or did not start.
class Xvfb {
 public:
  Xvfb() {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return;
    const std::string number = std::to_string(90 + static_cast<int>(getpid() % 400));
    display_ = ":" + number;
    const char* args[] = {"/usr/bin/Xvfb", display_.c_str(), "-screen", "0", "320x240x24", "-nolisten", "tcp", nullptr};
    // The server ends with this process, whatever ends it, and holds none of
    // its output open.
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      const int null = open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      execv(args[0], const_cast<char**>(args));
      _exit(127);
    }
    if (pid_ < 0) pid_ = 0;
    for (int i = 0; pid_ != 0 && i < 100 && !connection_; ++i) {
      connection_ = XOpenDisplay(display_.c_str());
      if (!connection_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (connection_) setenv("DISPLAY", display_.c_str(), 1);
  }
  ~Xvfb() {
    if (connection_) XCloseDisplay(connection_);
    if (pid_ != 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  Display* Connection() const { return connection_; }

 private:
  std::string display_;
  pid_t pid_ = 0;
  Display* connection_ = nullptr;
};

// A left-button event (press, motion or release) sent to a window.
inline void SendButton(Display* d, ::Window window, int type, long mask, int x, int y, unsigned state) {
  XEvent e{};
  e.xbutton.type = type;
  e.xbutton.display = d;
  e.xbutton.window = window;
  e.xbutton.x = x;
  e.xbutton.y = y;
  e.xbutton.button = Button1;
  e.xbutton.state = state;
  XSendEvent(d, window, False, mask, &e);
}

}  // namespace krtest

#endif  // KR_HAVE_X11
