#include "dsp/delay_line.h"

#include <algorithm>
#include <cmath>

namespace kr::dsp {

int MaxDelayLength(double sampleRate) {
  // Whole samples per second, ten seconds; a nonsense rate still gets a line.
  const double perSecond = sampleRate >= 1.0 && sampleRate <= 1e6 ? std::trunc(sampleRate) : 44100.0;
  return static_cast<int>(perSecond) * 10;
}

int DelayLength(double sampleRate, float seconds) {
  const int longest = MaxDelayLength(sampleRate);
  const float samples = static_cast<float>(sampleRate) * seconds;
  if (!(samples < static_cast<float>(longest))) return longest;  // NaN, infinite or too long
  if (!(samples >= 1.0f)) return 1;
  return static_cast<int>(samples);
}

void ReserveDelay(DelayLine& line, int capacity) {
  line.ring.assign(static_cast<std::size_t>(std::max(capacity, 1)), 0.0f);
  line.length = std::min(std::max(line.length, 1), static_cast<int>(line.ring.size()));
  line.write = 0;
  line.last = 0.0f;
}

void SetDelayLength(DelayLine& line, int length) {
  const int capacity = static_cast<int>(line.ring.size());
  line.length = std::clamp(length, 1, std::max(capacity, 1));
  if (capacity > 0) std::fill_n(line.ring.begin(), line.length, 0.0f);
  line.write = 0;
  line.offset = std::clamp(line.offset, 1, line.length);
}

void SetDelayModulation(DelayLine& line, float reference, float modulation) {
  const float n = static_cast<float>(line.length);
  const float x = (reference - modulation) * n;
  // In float first: NaN and out-of-range positions never reach the
  // conversion, and a clamped position has no fraction (it would blend in
  // the sample at the other end of the ring).
  if (!(x > 1.0f)) {
    line.offset = 1;
    line.fraction = 0.0f;
  } else if (!(x < n)) {
    line.offset = line.length;
    line.fraction = 0.0f;
  } else {
    line.offset = static_cast<int>(x);
    line.fraction = x - static_cast<float>(line.offset);
  }
}

}  // namespace kr::dsp
