// Captures message boxes for the life of the object.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

class MessageCapture {
 public:
  MessageCapture() {
    previous_ = platform::SetMessageSink([this](const platform::MessageBoxRequest& r) { texts.push_back(r.text); });
  }
  ~MessageCapture() { platform::SetMessageSink(std::move(previous_)); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::vector<std::string> texts;

 private:
  platform::MessageSink previous_;
};
