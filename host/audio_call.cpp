#include "host/audio_call.h"

namespace kr {

namespace audio_call {
namespace {
thread_local bool inside = false;
thread_local bool counting = false;
std::atomic<std::int64_t> allocations{0};
std::atomic<bool> hookInstalled{false};
}  // namespace

bool Inside() { return inside; }

Scope::Scope() : outer_(inside) { inside = true; }
Scope::~Scope() { inside = outer_; }

HostScope::HostScope() : outer_(inside) { inside = false; }
HostScope::~HostScope() { inside = outer_; }

void SetCounting(bool on) { counting = on; }
bool Counting() { return counting; }
void NoteAllocation() { allocations.fetch_add(1, std::memory_order_relaxed); }
std::int64_t Allocations() { return allocations.load(std::memory_order_relaxed); }
void SetHookInstalled() { hookInstalled.store(true, std::memory_order_release); }
bool HookInstalled() { return hookInstalled.load(std::memory_order_acquire); }

}  // namespace audio_call

}  // namespace kr
