#include "support/message_capture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string_view>

using namespace kr;

namespace krtest {

namespace {
// "==1234==..." lines: the sanitizers' own chatter on the same stream.
bool IsSanitizerLine(std::string_view line) {
  if (!line.starts_with("==")) return false;
  std::size_t i = 2;
  while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) != 0) ++i;
  return i > 2 && line.substr(i).starts_with("==");
}

std::string WithoutSanitizerLines(const std::string& text) {
  std::string kept;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string_view line(text.data() + start, end - start);
    if (!IsSanitizerLine(line)) kept += line;
    start = end;
  }
  return kept;
}
}  // namespace

MessageCapture::MessageCapture()
    : previous_(platform::SetMessageSink([this](const platform::MessageBoxRequest& r) {
        texts.push_back(r.text);
        requests.push_back(r);
      })) {}

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
    captured_ = WithoutSanitizerLines(testing::internal::GetCapturedStderr());
#endif
    capturing_ = false;
  }
  return captured_;
}

}  // namespace krtest
