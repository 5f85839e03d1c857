// Observers of document objects: a Notifier calls each of its Notifiable
// observers with a code and a pointer whenever it changes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kr {

enum NotifyCode : int {
  NC_PARAMETER_GONE = 8,
  NC_SELECTION = 9,
  NC_PLUG_NAME = 10,
  NC_PLUG_ADDED = 14,
  NC_REMOVED = 16,
  NC_CHILD_ADDED = 17,
  NC_DISABLED = 19,
  NC_SKIN = 20,
  NC_CONTAINER_PROGRAM = 28,
  NC_PARAMETER_VALUE = 31,
  NC_RECT = 35,
  NC_SPARE_OPTION = 44,
  NC_ITEM_LIST = 45,  // a plug's item list changed
  NC_PAGE = 52,       // a tab box's selected page changed
};

class Notifier;

class Notifiable {
 public:
  virtual ~Notifiable() = default;
  virtual void OnNotify(Notifier* source, int code, void* data) = 0;
};

class Notifier {
 public:
  Notifier() = default;
  Notifier(const Notifier&) = delete;
  Notifier& operator=(const Notifier&) = delete;
  virtual ~Notifier() = default;

  void AddObserver(Notifiable* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) observers_.push_back(observer);
  }
  void RemoveObserver(Notifiable* observer) { std::erase(observers_, observer); }
  // Observers may remove themselves while being told, so walk a copy.
  void Notify(int code, void* data = nullptr) {
    const std::vector<Notifiable*> current = observers_;
    for (Notifiable* o : current)
      if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) o->OnNotify(this, code, data);
  }
  std::size_t ObserverCount() const { return observers_.size(); }

 private:
  std::vector<Notifiable*> observers_;
};

}  // namespace kr
