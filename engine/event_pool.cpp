#include "engine/event_pool.h"

namespace kr {

EventPool::EventPool(std::size_t initial) {
  while (Capacity() < initial) Grow();
  growths_ = 0;  // the initial reserve is not growth
}

EventPool::~EventPool() = default;

void EventPool::Grow() {
  auto chunk = std::make_unique<ug_event[]>(kChunk);
  for (std::size_t i = 0; i < kChunk; ++i) {
    chunk[i].home = this;
    chunk[i].next = free_;
    free_ = &chunk[i];
  }
  chunks_.push_back(std::move(chunk));
  ++growths_;
}

ug_event* EventPool::Allocate() {
  if (free_ == nullptr) {
    if (frozen_) {
      ++dropped_;
      return nullptr;
    }
    Grow();
  }
  ug_event* event = free_;
  free_ = event->next;
  event->next = nullptr;
  ++inUse_;
  return event;
}

void EventPool::Release(ug_event* event) {
  event->Reset();
  event->next = free_;
  free_ = event;
  --inUse_;
}

void EventPool::Free(ug_event* event) {
  if (event == nullptr) return;
  if (event->home != nullptr) {
    event->home->Release(event);
  } else {
    delete event;
  }
}

ug_event* EventPool::AllocateUnpooled() { return new ug_event(); }

}  // namespace kr
