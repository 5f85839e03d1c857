#include "dsp/noise.h"

std::atomic<std::uint32_t>& noise::SharedState() {
  static std::atomic<std::uint32_t> state{22222u};
  return state;
}
