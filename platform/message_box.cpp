#include "platform/platform.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace platform {

void ShowSystemMessageBox(const MessageBoxRequest& request);  // per OS

namespace {
std::mutex& SinkMutex() {
  static std::mutex m;
  return m;
}
MessageSink& CurrentSink() {
  static MessageSink sink;
  return sink;
}
}  // namespace

void ShowMessageBox(const MessageBoxRequest& request) {
  MessageSink sink;
  {
    std::lock_guard lock(SinkMutex());
    sink = CurrentSink();
  }
  if (sink)
    sink(request);
  else
    ShowSystemMessageBox(request);
}

MessageSink SetMessageSink(MessageSink sink) {
  std::lock_guard lock(SinkMutex());
  MessageSink previous = std::move(CurrentSink());
  CurrentSink() = std::move(sink);
  return previous;
}

std::string ResourceSectionName(std::string_view type, int id) {
  return ".kr." + std::string(type) + "." + std::to_string(id);
}

}  // namespace platform
