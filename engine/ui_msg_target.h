// A GUI-side receiver of messages from the audio side. Each has a 32-bit
// handle that resolves to it in constant time while it lives; a handle of a
// destroyed target resolves to nothing. GUI thread only.
#pragma once

#include <cstdint>

namespace kr {

class my_input_stream;

class ui_msg_target {
 public:
  ui_msg_target();
  virtual ~ui_msg_target();
  ui_msg_target(const ui_msg_target&) = delete;
  ui_msg_target& operator=(const ui_msg_target&) = delete;

  // Slot 0: reads exactly the body of message id.
  virtual void OnDspMessage(std::int32_t id, my_input_stream& stream) = 0;

  std::int32_t Handle() const { return handle_; }
  static ui_msg_target* Resolve(std::int32_t handle);

 private:
  std::int32_t handle_;
};

}  // namespace kr
