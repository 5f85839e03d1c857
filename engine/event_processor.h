// Base of every module and of the audio master: a time-ordered event list,
// the active-list links and the clock.
#pragma once

#include <cstdint>

#include "engine/event_list.h"
#include "engine/ug_event.h"

namespace kr {

class KrAudioMaster;

class EventProcessor {
 public:
  EventProcessor() = default;
  EventProcessor(const EventProcessor&) = delete;
  EventProcessor& operator=(const EventProcessor&) = delete;

  // Virtual operations in slot order; engine/ug_base.h gives each one's
  // thread (the audio master's own run on the audio thread).
  virtual ~EventProcessor();
  virtual void Wake() {}
  virtual void RunFor(int count) { clock += count; }
  virtual void OnUiNotify(int kind, int value) {}
  virtual void HandleEvent(ug_event* event) {}

  // Inserts in time order; wakes a sleeping, non-suspended object first when asked.
  void AddEvent(ug_event* event, bool wake = true);
  // Re-stamps events due before time to time, then sets the clock to time.
  void CatchUp(int time);
  void ClearEvents();

  // A blank event from the engine's pool (the heap when there is no engine yet).
  ug_event* NewEvent(int time, int type);
  ug_event* NewEvent(int time, int type, int value, void* ref = nullptr, int extra = 0);

  bool IsSuspended() const { return (flags & 0x80u) != 0; }

  EventList events;
  std::uint32_t flags = 0;
  bool sleeping = false;
  EventProcessor* prev = nullptr;
  EventProcessor* next = nullptr;
  int clock = 0;
  KrAudioMaster* audioMaster = nullptr;
  int sortOrder = -1;
};

}  // namespace kr
