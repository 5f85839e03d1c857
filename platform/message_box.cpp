#include "platform/platform.h"

#include "platform/guarded_sink.h"

namespace kr {

namespace platform {

void ShowSystemMessageBox(const MessageBoxRequest& request);                       // per OS
std::optional<std::string> SystemChooseFileToOpen(const OpenFileRequest& request);  // per OS

namespace {
GuardedSink<MessageSink>& MessageSinks() {
  static GuardedSink<MessageSink> sink;
  return sink;
}
GuardedSink<FileChooserSink>& FileChoosers() {
  static GuardedSink<FileChooserSink> chooser;
  return chooser;
}
}  // namespace

void ShowMessageBox(const MessageBoxRequest& request) {
  if (MessageSink sink = MessageSinks().Get())
    sink(request);
  else
    ShowSystemMessageBox(request);
}

MessageSink SetMessageSink(MessageSink sink) { return MessageSinks().Swap(std::move(sink)); }

std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request) {
  if (FileChooserSink chooser = FileChoosers().Get()) return chooser(request);
  return SystemChooseFileToOpen(request);
}

FileChooserSink SetFileChooser(FileChooserSink chooser) { return FileChoosers().Swap(std::move(chooser)); }

std::string ResourceSectionName(std::string_view type, int id) {
  return ".kr." + std::string(type) + "." + std::to_string(id);
}

}  // namespace platform

}  // namespace kr
