#include "support/allocation_count.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool counting = false;
thread_local int allocations = 0;
}  // namespace

namespace krtest {

void StartCountingAllocations() {
  allocations = 0;
  counting = true;
}

int StopCountingAllocations() {
  counting = false;
  return allocations;
}

}  // namespace krtest

// Optimising builds (the Windows ones) see through these replacements and
// take malloc/free for a mismatched pair; they are the replacements.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (counting) ++allocations;
  return std::malloc(size != 0 ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
