// Linux implementation of the platform interface.
#include "platform/platform.h"

#include <dlfcn.h>
#include <elf.h>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>

namespace kr {

namespace platform {

std::string ModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) != 0 && info.dli_fname != nullptr) {
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved) != nullptr) return resolved;
    return info.dli_fname;
  }
  return {};
}

namespace {

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
  return bytes;
}

template <typename T>
bool ReadAt(const std::vector<std::uint8_t>& file, std::uint64_t offset, T& out) {
  if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, file.data() + offset, sizeof(T));
  return true;
}

// Finds a section by name in a little-endian ELF image of either class.
template <typename Ehdr, typename Shdr>
std::optional<std::vector<std::uint8_t>> FindSection(const std::vector<std::uint8_t>& file,
                                                     const std::string& wanted) {
  Ehdr eh{};
  if (!ReadAt(file, 0, eh) || eh.e_shentsize != sizeof(Shdr) || eh.e_shstrndx >= eh.e_shnum)
    return std::nullopt;
  Shdr names{};
  if (!ReadAt(file, eh.e_shoff + std::uint64_t{eh.e_shstrndx} * sizeof(Shdr), names)) return std::nullopt;
  if (names.sh_offset > file.size() || file.size() - names.sh_offset < names.sh_size) return std::nullopt;
  for (unsigned i = 0; i < eh.e_shnum; ++i) {
    Shdr sh{};
    if (!ReadAt(file, eh.e_shoff + std::uint64_t{i} * sizeof(Shdr), sh)) return std::nullopt;
    if (sh.sh_name >= names.sh_size) continue;
    const char* name = reinterpret_cast<const char*>(file.data() + names.sh_offset + sh.sh_name);
    const std::size_t room = names.sh_size - sh.sh_name;
    if (strnlen(name, room) != wanted.size() || wanted.compare(0, wanted.size(), name, wanted.size()) != 0)
      continue;
    if (sh.sh_type == SHT_NOBITS) return std::vector<std::uint8_t>{};
    if (sh.sh_offset > file.size() || file.size() - sh.sh_offset < sh.sh_size) return std::nullopt;
    return std::vector<std::uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(sh.sh_offset),
                                     file.begin() + static_cast<std::ptrdiff_t>(sh.sh_offset + sh.sh_size));
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> LoadStoredResourceFromFile(const std::string& path,
                                                                    std::string_view type, int id) {
  auto file = ReadWholeFile(path);
  if (!file || file->size() < EI_NIDENT || std::memcmp(file->data(), ELFMAG, SELFMAG) != 0 ||
      (*file)[EI_DATA] != ELFDATA2LSB)
    return std::nullopt;
  const std::string wanted = ResourceSectionName(type, id);
  if ((*file)[EI_CLASS] == ELFCLASS64) return FindSection<Elf64_Ehdr, Elf64_Shdr>(*file, wanted);
  if ((*file)[EI_CLASS] == ELFCLASS32) return FindSection<Elf32_Ehdr, Elf32_Shdr>(*file, wanted);
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> LoadStoredResource(std::string_view type, int id) {
  return LoadStoredResourceFromFile(ModulePath(), type, id);
}

namespace {
// Process-wide rather than thread-local: a thread-local here gives every
// loaded copy of the plug-in a TLS block, and LeakSanitizer's exit check
// crashes on the thread-local storage of many dlopened libraries.
std::mutex libraryErrorMutex;
std::string lastLibraryError;

void SetLibraryError(std::string text) {
  std::lock_guard lock(libraryErrorMutex);
  lastLibraryError = std::move(text);
}
}  // namespace

LibraryHandle LoadLibrary(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* err = dlerror();
    SetLibraryError(err != nullptr ? err : "unknown error");
  }
  return handle;
}

void* LibrarySymbol(LibraryHandle library, const char* name) {
  dlerror();
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) {
    const char* err = dlerror();
    SetLibraryError(err != nullptr ? err : std::string("symbol not found: ") + name);
  }
  return symbol;
}

void FreeLibrary(LibraryHandle library) {
  if (library != nullptr) dlclose(library);
}

std::string LastLibraryError() {
  std::lock_guard lock(libraryErrorMutex);
  return lastLibraryError;
}

std::uint32_t CurrentThreadId() { return static_cast<std::uint32_t>(syscall(SYS_gettid)); }

void SleepMs(unsigned milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec ts{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

std::uint32_t MilliSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
}

std::optional<std::int64_t> FileLastWriteTime(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::int64_t>(st.st_mtime);
}

bool CreateDirectory(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  struct stat st {};
  return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

char PathSeparator() { return '/'; }

std::string UserCacheFolder() {
  // The XDG rule: a relative $XDG_CACHE_HOME is to be ignored.
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && xdg[0] == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return std::string(home) + "/.cache";
  return {};
}

std::string Utf8ToHostText(std::string_view utf8) { return std::string(utf8); }
std::string HostTextToUtf8(std::string_view hostText) { return std::string(hostText); }

void ShowSystemMessageBox(const MessageBoxRequest& request) {
  std::fprintf(stderr, "[%s] %s\n", request.caption.empty() ? "Kestrune" : request.caption.c_str(),
               request.text.c_str());
  std::fflush(stderr);
}

}  // namespace platform

namespace platform {

// Linux has no system file dialog that a plug-in may count on: the name is typed instead.
std::optional<std::string> SystemChooseFileToOpen(const OpenFileRequest&) { return std::nullopt; }

}  // namespace platform

}  // namespace kr
