#include "engine/ui_msg_target.h"

#include <mutex>
#include <unordered_map>

namespace kr {

namespace {

// Handles are small numbers, never addresses, so they fit 32 bits on every
// target and a stale one cannot reach freed memory.
struct HandleTable {
  std::mutex lock;
  std::unordered_map<std::int32_t, ui_msg_target*> targets;
  std::int32_t next = 1;
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

}  // namespace

ui_msg_target::ui_msg_target() {
  HandleTable& t = Table();
  std::lock_guard guard(t.lock);
  do {
    handle_ = t.next++;
    if (t.next <= 0) t.next = 1;
  } while (t.targets.contains(handle_));
  t.targets[handle_] = this;
}

ui_msg_target::~ui_msg_target() {
  HandleTable& t = Table();
  std::lock_guard guard(t.lock);
  t.targets.erase(handle_);
}

ui_msg_target* ui_msg_target::Resolve(std::int32_t handle) {
  HandleTable& t = Table();
  std::lock_guard guard(t.lock);
  auto it = t.targets.find(handle);
  return it != t.targets.end() ? it->second : nullptr;
}

}  // namespace kr
