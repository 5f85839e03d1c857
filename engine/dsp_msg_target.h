// An audio-side object that receives messages from the GUI side, addressed
// by handle through the audio master's target map.
#pragma once

#include <cstdint>

namespace kr {

class my_input_stream;

class dsp_msg_target {
 public:
  virtual ~dsp_msg_target() = default;
  // Reads exactly the body of message id from the stream. The audio thread
  // at block start, or the GUI thread while no block runs (the audio
  // master's direct dispatch); never both at once.
  virtual void OnGuiMessage(std::int32_t id, my_input_stream& stream) = 0;

  std::int32_t handle = 0;
};

}  // namespace kr
