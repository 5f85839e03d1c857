#include "support/message_capture.h"

#include <gtest/gtest.h>

namespace krtest {

MessageCapture::MessageCapture()
    : previous_(platform::SetMessageSink([this](const platform::MessageBoxRequest& r) { texts.push_back(r.text); })) {}

MessageCapture::~MessageCapture() { platform::SetMessageSink(std::move(previous_)); }

// GoogleTest's stream capture redirects the file descriptor, so it also takes
// what code in a loaded library writes.
PluginMessageCapture::PluginMessageCapture() {
#if GTEST_HAS_STREAM_REDIRECTION
  testing::internal::CaptureStderr();
#endif
}

PluginMessageCapture::~PluginMessageCapture() { Finish(); }

const std::string& PluginMessageCapture::Finish() {
  if (capturing_) {
#if GTEST_HAS_STREAM_REDIRECTION
    captured_ = testing::internal::GetCapturedStderr();
#endif
    capturing_ = false;
  }
  return captured_;
}

}  // namespace krtest
