// A replaceable handler that any thread may read while another swaps it
// (the message-box sink, the file chooser). Inside platform/ only.
#pragma once

#include <mutex>
#include <utility>

namespace kr {

namespace platform {

template <class Handler>
class GuardedSink {
 public:
  Handler Get() {
    std::lock_guard lock(mutex_);
    return handler_;
  }
  // Installs a handler and returns the previous one.
  Handler Swap(Handler handler) {
    std::lock_guard lock(mutex_);
    return std::exchange(handler_, std::move(handler));
  }

 private:
  std::mutex mutex_;
  Handler handler_;
};

}  // namespace platform

}  // namespace kr
