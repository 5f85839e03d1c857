// Marks the host's calls into a plug-in's audio side (effProcessEvents,
// process and processReplacing) on the calling thread, so that a tool can
// count what the plug-in allocates there. Calls back into the host from inside
// are not the plug-in's: they clear the mark while they run.
#pragma once

#include <atomic>
#include <cstdint>

namespace kr {

namespace audio_call {

// True on this thread while the plug-in's audio code runs.
bool Inside();

// Set for the length of a call into the plug-in's audio side.
class Scope {
 public:
  Scope();
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 private:
  bool outer_;
};

// Cleared for the length of a call back into the host.
class HostScope {
 public:
  HostScope();
  ~HostScope();
  HostScope(const HostScope&) = delete;
  HostScope& operator=(const HostScope&) = delete;

 private:
  bool outer_;
};

// Allocation counting: an allocation hook (in the program that wants it)
// calls NoteAllocation when Inside() and counting is on; both are per thread.
void SetCounting(bool on);
bool Counting();
void NoteAllocation();
std::int64_t Allocations();
// Set by a program whose allocation hook is in place (else counts mean nothing).
void SetHookInstalled();
bool HookInstalled();

}  // namespace audio_call

}  // namespace kr
