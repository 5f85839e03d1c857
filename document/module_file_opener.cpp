#include "document/module_file_opener.h"

#include "base/file_read_stream.h"
#include "base/path_names.h"
#include "platform/platform.h"

namespace kr {

PathStyle NativePathStyle() { return platform::PathSeparator() == '\\' ? PathStyle::Windows : PathStyle::Posix; }

namespace {
bool IsRelativeToDefaultFolder(std::string_view name, PathStyle style) {
  if (style == PathStyle::Posix) return name.find('/') == std::string_view::npos;
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos || colon + 1 == name.size();
}
}  // namespace

std::string ResolveModuleFileName(std::string_view name, std::string_view defaultExtension,
                                  const DirectoryForExtension& directoryFor, PathStyle style) {
  if (name.empty()) return {};
  std::string resolved(name);
  if (ExtensionLowerCase(resolved).empty() && !defaultExtension.empty()) {
    if (resolved.back() != '.') resolved += '.';
    resolved += defaultExtension;
  }
  if (directoryFor && IsRelativeToDefaultFolder(resolved, style))
    resolved = directoryFor(ExtensionLowerCase(resolved)) + resolved;
  return resolved;
}

std::unique_ptr<ReadStream> OpenModuleFile(std::string_view name, std::string_view defaultExtension,
                                           const DirectoryForExtension& directoryFor, const EmbeddedFiles& embedded,
                                           PathStyle style) {
  const std::string resolved = ResolveModuleFileName(name, defaultExtension, directoryFor, style);
  if (resolved.empty()) return nullptr;
  if (auto onDisk = FileReadStream::Open(resolved)) return onDisk;
  return embedded.OpenByFileName(resolved, resolved);
}

std::string ResolveModuleFileForWriting(std::string_view name, std::string_view defaultExtension,
                                        const DirectoryForExtension& directoryFor) {
  if (name.empty() || name == "." || name == ".." || !directoryFor) return {};
  if (name.find_first_of("/\\:") != std::string_view::npos) return {};
  std::string resolved(name);
  if (ExtensionLowerCase(resolved).empty() && !defaultExtension.empty()) {
    if (resolved.back() != '.') resolved += '.';
    resolved += defaultExtension;
  }
  return directoryFor(ExtensionLowerCase(resolved)) + resolved;
}

}  // namespace kr
