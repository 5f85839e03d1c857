// Time-ordered, intrusively linked list of events. Equal times keep the order
// in which they were added; times compare as unsigned 32-bit numbers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/ug_event.h"

namespace kr {

class EventList {
 public:
  EventList() = default;
  EventList(const EventList&) = delete;
  EventList& operator=(const EventList&) = delete;
  ~EventList();

  bool empty() const { return head_ == nullptr; }
  std::size_t size() const { return size_; }
  ug_event* front() const { return head_; }
  ug_event* back() const { return tail_; }

  // Inserts before the first event whose time is greater.
  void Insert(ug_event* event);
  // Unlinks without freeing.
  void Unlink(ug_event* event);
  ug_event* PopFront();
  // Frees every event and its attached data.
  void Clear();

  class iterator {
   public:
    explicit iterator(ug_event* e) : e_(e) {}
    ug_event* operator*() const { return e_; }
    iterator& operator++() {
      e_ = e_->next;
      return *this;
    }
    bool operator!=(const iterator& o) const { return e_ != o.e_; }
    bool operator==(const iterator& o) const { return e_ == o.e_; }

   private:
    ug_event* e_;
  };
  iterator begin() const { return iterator(head_); }
  iterator end() const { return iterator(nullptr); }

 private:
  ug_event* head_ = nullptr;
  ug_event* tail_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace kr
