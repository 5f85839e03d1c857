// Child processes on Windows: CreateProcessW with a command line quoted
// from the argument list (as the C runtime splits it again), the working
// folder given to the child only, and the handles closed once they end.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <mutex>

#include "platform/platform.h"

namespace kr {

namespace platform {

namespace {

std::mutex childrenMutex;
std::vector<HANDLE> children;

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

// One argument as CommandLineToArgvW and the C runtime read it back:
// quotes around it when needed, backslashes doubled before a quote.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    line.append(backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

std::string ErrorText(DWORD code) {
  char* buffer = nullptr;
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = n != 0 && buffer != nullptr ? std::string(buffer, n) : "error " + std::to_string(code);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) text.pop_back();
  return text;
}

}  // namespace

LaunchResult LaunchProcess(const std::vector<std::string>& args, const std::string& workingFolder) {
  if (args.empty() || args.front().empty()) return {false, "no program named"};
  std::wstring line;
  for (const std::string& a : args) {
    if (!line.empty()) line += L' ';
    AppendQuoted(line, Wide(a));
  }
  const std::wstring folder = Wide(workingFolder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info))
    return {false, ErrorText(GetLastError())};
  CloseHandle(info.hThread);
  std::lock_guard lock(childrenMutex);
  children.push_back(info.hProcess);
  return {true, {}};
}

LaunchResult OpenWithShellVerb(std::string_view verb, const std::string& path) {
  if (path.empty()) return {false, "no file named"};
  const std::wstring wideVerb = Wide(std::string(verb));
  const std::wstring file = Wide(path);
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, wideVerb.empty() ? nullptr : wideVerb.c_str(),
                                                              file.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED));
  if (result > 32) return {true, {}};
  return {false, ErrorText(GetLastError())};
}

int ReapChildProcesses() {
  std::lock_guard lock(childrenMutex);
  std::erase_if(children, [](HANDLE process) {
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) return false;
    CloseHandle(process);
    return true;
  });
  return static_cast<int>(children.size());
}

}  // namespace platform

}  // namespace kr
