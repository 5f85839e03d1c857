#include "app/gdiplus_session.h"

#include "platform/platform.h"

namespace kr {

#if defined(_WIN32)
#define KR_WINAPI __stdcall
#else
#define KR_WINAPI
#endif

namespace {

// The start-up record GdiplusStartup takes (the published layout).
struct StartupInput {
  std::uint32_t version = 1;
  void* debugEventCallback = nullptr;
  std::int32_t suppressBackgroundThread = 0;
  std::int32_t suppressExternalCodecs = 0;
};

using StartupFn = int(KR_WINAPI*)(std::uintptr_t* token, const StartupInput* input, void* output);
using ShutdownFn = void(KR_WINAPI*)(std::uintptr_t token);

}  // namespace

GdiplusSession::~GdiplusSession() { Shutdown(); }

bool GdiplusSession::Start() {
  if (Started()) return true;
  // The library stays loaded while the session runs: its code is in use.
  library_ = platform::LoadLibrary("GDIPlus.dll");
  if (library_ == nullptr) return false;
  auto startup = reinterpret_cast<StartupFn>(platform::LibrarySymbol(library_, "GdiplusStartup"));
  const StartupInput input;
  std::uintptr_t token = 0;
  if (startup == nullptr || startup(&token, &input, nullptr) != 0 || token == 0) {
    platform::FreeLibrary(library_);
    library_ = nullptr;
    return false;
  }
  token_ = token;
  return true;
}

void GdiplusSession::Shutdown() {
  if (token_ != 0) {
    auto shutdown = reinterpret_cast<ShutdownFn>(platform::LibrarySymbol(library_, "GdiplusShutdown"));
    if (shutdown != nullptr) shutdown(token_);
    token_ = 0;
  }
  if (library_ != nullptr) {
    platform::FreeLibrary(library_);
    library_ = nullptr;
  }
}

}  // namespace kr
