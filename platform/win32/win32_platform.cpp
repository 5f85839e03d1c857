// Windows implementation of the platform interface.
#include "platform/platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <mmsystem.h>
#include <commdlg.h>

#include <cstring>
#include <fstream>

namespace kr {

#undef LoadLibrary
#undef CreateDirectory

namespace platform {

namespace {
HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

thread_local std::string lastLibraryError;

std::string FormatLastError(DWORD code) {
  char* buffer = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = n != 0 && buffer != nullptr ? std::string(buffer, n) : "error " + std::to_string(code);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::optional<std::vector<std::uint8_t>> ResourceOf(HMODULE module, std::string_view type, int id) {
  const std::string typeName(type);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), typeName.c_str());
  if (found == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) return std::nullopt;
  const void* bytes = LockResource(loaded);
  const DWORD size = SizeofResource(module, found);
  if (bytes == nullptr && size != 0) return std::nullopt;
  const auto* begin = static_cast<const std::uint8_t*>(bytes);
  return std::vector<std::uint8_t>(begin, begin + size);
}
}  // namespace

std::string ModulePath() {
  char path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(ThisModule(), path, sizeof(path));
  return std::string(path, n);
}

std::optional<std::vector<std::uint8_t>> LoadStoredResource(std::string_view type, int id) {
  return ResourceOf(ThisModule(), type, id);
}

std::optional<std::vector<std::uint8_t>> LoadStoredResourceFromFile(const std::string& path,
                                                                    std::string_view type, int id) {
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return std::nullopt;
  auto bytes = ResourceOf(module, type, id);
  ::FreeLibrary(module);
  return bytes;
}

LibraryHandle LoadLibrary(const std::string& path) {
  HMODULE module = LoadLibraryA(path.c_str());
  // FormatMessage names neither the file nor the symbol; the callers' messages need them.
  if (module == nullptr) lastLibraryError = path + ": " + FormatLastError(GetLastError());
  return reinterpret_cast<LibraryHandle>(module);
}

void* LibrarySymbol(LibraryHandle library, const char* name) {
  FARPROC proc = GetProcAddress(reinterpret_cast<HMODULE>(library), name);
  if (proc == nullptr) lastLibraryError = std::string(name) + ": " + FormatLastError(GetLastError());
  return reinterpret_cast<void*>(proc);
}

void FreeLibrary(LibraryHandle library) {
  if (library != nullptr) ::FreeLibrary(reinterpret_cast<HMODULE>(library));
}

std::string LastLibraryError() { return lastLibraryError; }

std::uint32_t CurrentThreadId() { return GetCurrentThreadId(); }

void SleepMs(unsigned milliseconds) { Sleep(milliseconds); }

std::uint32_t MilliSeconds() { return timeGetTime(); }

std::optional<std::int64_t> FileLastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  ULARGE_INTEGER t;
  t.LowPart = data.ftLastWriteTime.dwLowDateTime;
  t.HighPart = data.ftLastWriteTime.dwHighDateTime;
  // FILETIME counts 100 ns steps from 1601.
  return static_cast<std::int64_t>(t.QuadPart / 10000000ULL) - 11644473600LL;
}

bool CreateDirectory(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

char PathSeparator() { return '\\'; }

std::string UserCacheFolder() {
  char folder[MAX_PATH * 4];
  const DWORD n = GetEnvironmentVariableA("LOCALAPPDATA", folder, sizeof(folder));
  if (n == 0 || n >= sizeof(folder)) return {};
  std::string text(folder, n);
  while (text.size() > 3 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

namespace {

// Between a code page's bytes and UTF-16, then the other code page.
std::string Recode(std::string_view text, UINT from, UINT to) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(from, 0, text.data(), length, nullptr, 0);
  if (wide <= 0) return {};
  std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(from, 0, text.data(), length, utf16.data(), wide);
  const int bytes = WideCharToMultiByte(to, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(to, 0, utf16.data(), wide, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::string Utf8ToHostText(std::string_view utf8) { return Recode(utf8, CP_UTF8, CP_ACP); }
std::string HostTextToUtf8(std::string_view hostText) { return Recode(hostText, CP_ACP, CP_UTF8); }

void ShowSystemMessageBox(const MessageBoxRequest& request) {
  UINT style = MB_OK;
  switch (request.icon) {
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: style |= MB_ICONEXCLAMATION; break;
    case MessageIcon::Error: style |= MB_ICONSTOP; break;
    case MessageIcon::None: break;
  }
  MessageBoxA(nullptr, request.text.c_str(), request.caption.empty() ? "Kestrune" : request.caption.c_str(), style);
}

std::optional<std::string> SystemChooseFileToOpen(const OpenFileRequest& request) {
  // The filter: "<ext> files" then "All files", each a name and a pattern
  // ended by NUL, the list ended by another NUL.
  std::string filter;
  if (!request.extension.empty()) {
    const std::string pattern = "*." + Utf8ToHostText(request.extension);
    filter += pattern + " files";
    filter += '\0';
    filter += pattern;
    filter += '\0';
  }
  filter += "All files";
  filter += '\0';
  filter += "*.*";
  filter += '\0';
  char path[MAX_PATH] = {};
  const std::string initial = Utf8ToHostText(request.initialName);
  std::strncpy(path, initial.c_str(), sizeof path - 1);
  const std::string extension = Utf8ToHostText(request.extension);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  if (request.save) {
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog)) return std::nullopt;
    return HostTextToUtf8(path);
  }
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&dialog)) return std::nullopt;
  return HostTextToUtf8(path);
}

}  // namespace platform

}  // namespace kr
