// Capturing the texts of message boxes in tests.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

using namespace kr;

namespace krtest {

// Installs a sink for this process's message boxes while it lives; what was
// shown meanwhile is kept in order (the texts alone, and the whole requests
// for tests of captions and icons). The one rig for message boxes.
class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::vector<std::string> texts;
  std::vector<platform::MessageBoxRequest> requests;

 private:
  platform::MessageSink previous_;
};

// A plug-in file loaded by the host harness carries its own copy of the
// platform code, so its message boxes bypass this process's sink. On Linux
// they are lines "[Kestrune] <text>" on standard error: this captures the
// error stream while it lives and gives back what was shown. Linux only: on
// Windows such a plug-in opens real message boxes.
class PluginMessageCapture {
 public:
  PluginMessageCapture();
  ~PluginMessageCapture();
  PluginMessageCapture(const PluginMessageCapture&) = delete;
  PluginMessageCapture& operator=(const PluginMessageCapture&) = delete;

  // Ends the capture (once) and returns everything written meanwhile, less
  // the sanitizers' own "==<pid>==" lines.
  const std::string& Finish();

  // What a plug-in writes for one message box with this text.
  static std::string Line(const std::string& text) { return "[Kestrune] " + text + "\n"; }

 private:
  bool capturing_ = true;
  std::string captured_;
};

}  // namespace krtest
