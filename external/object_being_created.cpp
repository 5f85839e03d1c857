#include "external/object_being_created.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace kr {

namespace {

// A table rather than a thread_local: thread-local storage in a plug-in
// loaded many times over trips LeakSanitizer's exit check. Only calls made
// while a module is being made (never on the audio thread) look here.
struct Creation {
  std::thread::id thread;
  ug_plugin* object;
};

std::mutex& CreationMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<Creation>& Creations() {
  static std::vector<Creation> creations;
  return creations;
}

}  // namespace

ug_plugin* ObjectBeingCreated() {
  const std::thread::id me = std::this_thread::get_id();
  std::lock_guard lock(CreationMutex());
  const auto& creations = Creations();
  for (auto it = creations.rbegin(); it != creations.rend(); ++it)
    if (it->thread == me) return it->object;
  return nullptr;
}

ObjectBeingCreatedScope::ObjectBeingCreatedScope(ug_plugin* object) : object_(object) {
  std::lock_guard lock(CreationMutex());
  Creations().push_back({std::this_thread::get_id(), object});
}

ObjectBeingCreatedScope::~ObjectBeingCreatedScope() {
  std::lock_guard lock(CreationMutex());
  auto& creations = Creations();
  const std::thread::id me = std::this_thread::get_id();
  auto it = std::find_if(creations.rbegin(), creations.rend(),
                         [&](const Creation& c) { return c.thread == me && c.object == object_; });
  if (it != creations.rend()) creations.erase(std::next(it).base());
}

}  // namespace kr
