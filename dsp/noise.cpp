#include "dsp/noise.h"

namespace kr::dsp::noise {

std::atomic<std::uint32_t>& SharedState() {
  static std::atomic<std::uint32_t> state{22222u};
  return state;
}

}  // namespace kr::dsp::noise
