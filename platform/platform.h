// The operating system, as the rest of Kestrune sees it. Two implementations:
// platform/posix (Linux) and platform/win32 (Windows). Nothing outside
// platform/ includes an OS header.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kr {

namespace platform {

// --- the plug-in file -----------------------------------------------------------

// Full path of the binary that contains this code (the plug-in when linked
// into it, the executable otherwise).
std::string ModulePath();

// Bytes of the stored resource of the given type and numeric id inside the
// binary that contains this code; nothing when there is none. On Windows a PE
// resource; on Linux an ELF section named by ResourceSectionName.
std::optional<std::vector<std::uint8_t>> LoadStoredResource(std::string_view type, int id);

// The same lookup in any file of this platform's binary format.
std::optional<std::vector<std::uint8_t>> LoadStoredResourceFromFile(const std::string& path,
                                                                    std::string_view type, int id);

// ELF section name that carries a stored resource: ".kr.<type>.<id>".
std::string ResourceSectionName(std::string_view type, int id);

// --- dynamic libraries ----------------------------------------------------------

using LibraryHandle = void*;
LibraryHandle LoadLibrary(const std::string& path);  // null on failure
void* LibrarySymbol(LibraryHandle library, const char* name);
void FreeLibrary(LibraryHandle library);
std::string LastLibraryError();  // text of the last failed load or lookup

// --- threads and time -------------------------------------------------------------

std::uint32_t CurrentThreadId();
void SleepMs(unsigned milliseconds);  // 0 gives up the rest of the time slice
std::uint32_t MilliSeconds();         // a millisecond clock (wraps)

// --- files ------------------------------------------------------------------------

// Last-write time as seconds since 1970; nothing when the file does not exist.
std::optional<std::int64_t> FileLastWriteTime(const std::string& path);
bool CreateDirectory(const std::string& path);  // true when it exists afterwards
// The current user's folder for files that may be made again at any time:
// the XDG cache folder on Linux ($XDG_CACHE_HOME, else ~/.cache), the local
// application-data folder on Windows. No final separator; empty when unknown.
std::string UserCacheFolder();
char PathSeparator();

// --- texts at the host boundary -----------------------------------------------------

// Texts live in memory as UTF-8. Hosts on Windows pass and take texts in the
// system's code page (characters it cannot hold become '?'); hosts on Linux
// use UTF-8, kept as it is.
std::string Utf8ToHostText(std::string_view utf8);
std::string HostTextToUtf8(std::string_view hostText);

// --- child processes -------------------------------------------------------------

struct LaunchResult {
  bool started = false;
  std::string error;  // why it did not start
};

// Starts the program args[0] (looked up on the search path when it names no
// folder) with the arguments args[1 ...], each passed as it is (no shell),
// in workingFolder (empty: this process's own). The folder is the child's
// alone: this process's current folder never changes. Does not wait for the
// program; a program that cannot be found or started answers its reason.
LaunchResult LaunchProcess(const std::vector<std::string>& args, const std::string& workingFolder);

// Opens a file as the desktop does, by a shell verb. On Windows the shell
// runs the verb ("" the file's default action, "edit", "explore", "find",
// "open", "print", "properties") on the file, shown maximised. On Linux
// "open" and "edit" hand the file to xdg-open and "explore" hands it its
// folder, started as LaunchProcess starts programs (an argument vector, no
// shell, not waited for); the other verbs do nothing (started false).
LaunchResult OpenWithShellVerb(std::string_view verb, const std::string& path);

// Collects the children started by LaunchProcess that have ended (on POSIX
// they would otherwise stay as zombies) and answers how many still run.
int ReapChildProcesses();

// --- message boxes ---------------------------------------------------------------

enum class MessageIcon { None, Information, Warning, Error };

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
};

// Every message box goes through one sink: on Windows a real message box, on
// Linux a line on stderr. Tests install their own sink to capture the texts.
using MessageSink = std::function<void(const MessageBoxRequest&)>;
void ShowMessageBox(const MessageBoxRequest& request);
// Installs a sink and returns the previous one; an empty sink restores the default.
MessageSink SetMessageSink(MessageSink sink);

// --- the file-open dialog ------------------------------------------------------------

struct OpenFileRequest {
  std::string initialName;  // UTF-8
  std::string extension;    // the files offered ("sf2"); empty: any file
  bool save = false;        // a file to write (Windows' save dialog), not one to read
};

// The system's file-open dialog, modal: the chosen path (UTF-8), or none when
// the user cancels or the system has no dialog (Linux). Like message boxes it
// goes through one chooser, which tests replace.
using FileChooserSink = std::function<std::optional<std::string>(const OpenFileRequest&)>;
std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request);
// Installs a chooser and returns the previous one; an empty one restores the system's.
FileChooserSink SetFileChooser(FileChooserSink chooser);

}  // namespace platform

}  // namespace kr
