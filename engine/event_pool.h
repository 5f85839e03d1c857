// Preallocated events. Until it is frozen the pool grows in chunks when it
// runs dry; a running engine's pool is frozen, so the audio thread never
// touches the heap: when it runs dry, Allocate answers null and the event is
// dropped and counted. One pool per engine run; only the audio thread uses it
// while the engine runs.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/ug_event.h"

namespace kr {

class EventPool {
 public:
  static constexpr std::size_t kChunk = 256;
  // An engine's reserve: a block of thousands of host MIDI events, each
  // reaching a few receivers, with room for the engine's own events.
  static constexpr std::size_t kEngineReserve = 8192;

  explicit EventPool(std::size_t initial = kChunk);
  EventPool(const EventPool&) = delete;
  EventPool& operator=(const EventPool&) = delete;
  ~EventPool();

  // Null when the pool is frozen and empty.
  ug_event* Allocate();
  // From now on the pool never grows.
  void Freeze() { frozen_ = true; }

  // Counts for tests and diagnostics.
  std::size_t Capacity() const { return chunks_.size() * kChunk; }
  std::size_t Growths() const { return growths_; }
  std::size_t InUse() const { return inUse_; }
  std::size_t Dropped() const { return dropped_; }

  // Frees an event to its home pool, or to the heap when it has none.
  static void Free(ug_event* event);
  // An event for an object with no pool (graph building before any engine).
  static ug_event* AllocateUnpooled();

 private:
  void Grow();
  void Release(ug_event* event);

  std::vector<std::unique_ptr<ug_event[]>> chunks_;
  ug_event* free_ = nullptr;  // singly linked through next
  std::size_t growths_ = 0;
  std::size_t inUse_ = 0;
  std::size_t dropped_ = 0;
  bool frozen_ = false;
};

}  // namespace kr
