// Where rendered audio goes, one block of non-interleaved channels at a time.
#pragma once

#include <span>

namespace kr {

class AudioSink {
 public:
  virtual ~AudioSink() = default;
  // channels.size() channels of `frames` samples each. False stops the render.
  virtual bool Write(std::span<const float* const> channels, int frames) = 0;
};

}  // namespace kr
