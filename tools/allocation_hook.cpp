// The kestrune program's global operators new: they count the allocations a
// plug-in makes inside the host's audio calls (audio_call::Inside) while a
// torture check counts, and otherwise only allocate. With
// KR_TORTURE_TRACE_ALLOCATIONS set, each counted allocation prints its stack.
// Windows plug-ins carry their own C++ runtime, which these would not reach,
// so the Windows program has none (and its torture run says so).
#ifndef _WIN32
#include <cstdio>
#include <cstdlib>
#include <new>

#include "host/audio_call.h"

namespace audio_call = kr::audio_call;

#if __has_include(<execinfo.h>)
#include <execinfo.h>
#define KR_HAS_BACKTRACE 1
#endif

extern "C" void __sanitizer_print_stack_trace() __attribute__((weak));

namespace {

thread_local bool tracing = false;  // no counting inside the trace itself

bool TraceWanted() {
  static const bool wanted = std::getenv("KR_TORTURE_TRACE_ALLOCATIONS") != nullptr;
  return wanted;
}

void PrintStack() {
  if (__sanitizer_print_stack_trace != nullptr) {
    __sanitizer_print_stack_trace();
    return;
  }
#ifdef KR_HAS_BACKTRACE
  void* frames[32];
  const int count = backtrace(frames, 32);
  backtrace_symbols_fd(frames, count, 2);
#endif
}

void Note() {
  if (tracing || !audio_call::Inside() || !audio_call::Counting()) return;
  audio_call::NoteAllocation();
  if (!TraceWanted()) return;
  tracing = true;
  std::fputs("kestrune torture: allocation on the audio thread:\n", stderr);
  PrintStack();
  tracing = false;
}

void* Allocate(std::size_t size) {
  Note();
  return std::malloc(size != 0 ? size : 1);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  Note();
  const auto align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + align - 1) / align * align;
  return std::aligned_alloc(align, rounded != 0 ? rounded : align);
}

struct Installed {
  Installed() { audio_call::SetHookInstalled(); }
} installed;

}  // namespace

// These are the replacements: new takes malloc's memory and delete gives it back.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  if (void* p = AllocateAligned(size, alignment)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  if (void* p = AllocateAligned(size, alignment)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
#endif  // _WIN32

