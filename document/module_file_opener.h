// Opening a file that a module names (a sample, a MIDI file, a SoundFont):
// the name is resolved against the plug-in's file folders, then looked for
// on disk and, failing that, among the files embedded in the document.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/read_stream.h"
#include "document/embedded_files.h"
#include "document/file_directories.h"

namespace kr {

// Which rule decides that a name is relative to the default folder: on
// Windows a name without a drive (no colon, or a colon as its last
// character); elsewhere a name without a '/'.
enum class PathStyle { Windows, Posix };
PathStyle NativePathStyle();

// Appends ".<defaultExtension>" when the name has no extension, then puts
// the default folder for the extension in front when the name is relative
// by the rule above. An empty name stays empty.
std::string ResolveModuleFileName(std::string_view name, std::string_view defaultExtension,
                                  const DirectoryForExtension& directoryFor, PathStyle style = NativePathStyle());

// The resolved file from disk, else the first embedded file of the same
// file name (case-insensitive) as a read-only stream, else null.
std::unique_ptr<ReadStream> OpenModuleFile(std::string_view name, std::string_view defaultExtension,
                                           const DirectoryForExtension& directoryFor, const EmbeddedFiles& embedded,
                                           PathStyle style = NativePathStyle());

// The path a module may write the named file to: the name (with the
// default extension appended when it has none) inside the default folder
// for its extension. Empty for an empty name and for a name that would lead
// out of that folder: one with a folder separator, a drive or "..".
std::string ResolveModuleFileForWriting(std::string_view name, std::string_view defaultExtension,
                                        const DirectoryForExtension& directoryFor);

}  // namespace kr
