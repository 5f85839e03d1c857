#include "engine/event_processor.h"

#include "engine/audio_master.h"
#include "engine/event_pool.h"

namespace kr {

EventProcessor::~EventProcessor() { ClearEvents(); }

void EventProcessor::AddEvent(ug_event* event, bool wake) {
  if (event == nullptr) return;  // dropped: the engine's pool ran dry
  // The event goes in first: waking re-stamps events older than the new
  // clock, so a stale event cannot end up before the clock.
  events.Insert(event);
  if (wake && sleeping && !IsSuspended()) Wake();
}

void EventProcessor::CatchUp(int time) {
  for (ug_event* e = events.front(); e != nullptr && e->time < time; e = e->next) e->time = time;
  clock = time;
}

void EventProcessor::ClearEvents() { events.Clear(); }

ug_event* EventProcessor::NewEvent(int time, int type) {
  ug_event* e = audioMaster != nullptr ? audioMaster->Events().Allocate() : EventPool::AllocateUnpooled();
  if (e == nullptr) return nullptr;
  e->time = time;
  e->type = type;
  return e;
}

ug_event* EventProcessor::NewEvent(int time, int type, int value, void* ref, int extra) {
  ug_event* e = NewEvent(time, type);
  if (e == nullptr) return nullptr;
  e->value = value;
  e->ref = ref;
  e->extra = extra;
  return e;
}

}  // namespace kr
