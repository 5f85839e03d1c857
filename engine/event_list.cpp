#include "engine/event_list.h"

#include "engine/event_pool.h"

namespace kr {

EventList::~EventList() { Clear(); }

void EventList::Insert(ug_event* event) {
  const auto time = static_cast<std::uint32_t>(event->time);
  // Most events arrive in time order, or before everything pending: check
  // the head, then search from the back for the last event not later.
  ug_event* after = nullptr;
  if (head_ != nullptr && static_cast<std::uint32_t>(head_->time) <= time) {
    after = tail_;
    while (static_cast<std::uint32_t>(after->time) > time) after = after->prev;
  }
  event->prev = after;
  event->next = after != nullptr ? after->next : head_;
  if (event->next != nullptr) {
    event->next->prev = event;
  } else {
    tail_ = event;
  }
  if (after != nullptr) {
    after->next = event;
  } else {
    head_ = event;
  }
  ++size_;
}

void EventList::Unlink(ug_event* event) {
  if (event->prev != nullptr) {
    event->prev->next = event->next;
  } else {
    head_ = event->next;
  }
  if (event->next != nullptr) {
    event->next->prev = event->prev;
  } else {
    tail_ = event->prev;
  }
  event->prev = event->next = nullptr;
  --size_;
}

ug_event* EventList::PopFront() {
  ug_event* event = head_;
  if (event != nullptr) Unlink(event);
  return event;
}

void EventList::Clear() {
  while (ug_event* event = PopFront()) EventPool::Free(event);
}

}  // namespace kr
