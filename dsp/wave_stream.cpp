#include "dsp/wave_stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/sinc_interpolation.h"

namespace kr::dsp::wave_stream {

float Convert(const Source& s, std::size_t frame, int channel) {
  const std::size_t index = frame * static_cast<std::size_t>(s.channels) + static_cast<std::size_t>(channel);
  switch (s.bits) {
    case 8:
      return (static_cast<float>(s.data[index]) - 128.0f) * (1.0f / 256.0f);
    case 16: {
      const auto v = static_cast<std::int16_t>(s.data[2 * index] | s.data[2 * index + 1] << 8);
      return static_cast<float>(v) * (1.0f / 32768.0f);
    }
    default: {
      float v = 0.0f;
      std::memcpy(&v, s.data + 4 * index, 4);  // little-endian hosts only
      return std::isfinite(v) ? v : 0.0f;
    }
  }
}

namespace {
int CapacityFrames(const Source& s) { return kSlots / s.channels; }
}  // namespace

void Fill(State& st, const Source& s, bool gateHigh) {
  const int ch = s.channels;
  const int capacity = CapacityFrames(s);
  // The last kHistory frames move to the front.
  const int keepFrom = std::max(0, st.filled - kHistory);
  std::copy(st.buffer.begin() + keepFrom * ch, st.buffer.begin() + st.filled * ch, st.buffer.begin());
  st.pos -= keepFrom;
  int at = st.filled - keepFrom;
  if (st.realEnd >= 0) st.realEnd -= keepFrom;
  while (at < capacity && st.realEnd < 0) {
    const bool looping = s.hasLoop && gateHigh && st.next <= s.loopEnd;
    const std::size_t stop = looping ? s.loopEnd : s.frames;
    if (st.next >= stop) {
      if (!looping) {
        st.realEnd = at;
        break;
      }
      st.next = s.loopStart;  // loopStart < loopEnd: every pass reads a frame
      continue;
    }
    const std::size_t n = std::min<std::size_t>(stop - st.next, static_cast<std::size_t>(capacity - at));
    for (std::size_t f = 0; f < n; ++f)
      for (int c = 0; c < ch; ++c)
        st.buffer[static_cast<std::size_t>((at + static_cast<int>(f)) * ch + c)] = Convert(s, st.next + f, c);
    st.next += n;
    at += static_cast<int>(n);
  }
  std::fill(st.buffer.begin() + at * ch, st.buffer.begin() + capacity * ch, 0.0f);
  st.filled = capacity;
}

void Restart(State& st, const Source& s, bool gateHigh) {
  st.buffer.fill(0.0f);
  st.filled = kHistory;
  st.realEnd = -1;
  st.next = 0;
  st.pos = kHistory;
  st.acc = 0u - st.inc;
  st.playing = true;
  Fill(st, s, gateHigh);
}

bool Next(State& st, const Source& s, bool gateHigh, const float* sincTable, float& left, float& right) {
  if (!st.playing) return false;
  st.acc += st.inc;
  if (st.acc > 0xFFFFFFu) {
    st.pos += st.acc >> 24;
    st.acc &= 0xFFFFFFu;
  }
  if (st.realEnd >= 0 && st.pos >= st.realEnd) {
    st.playing = false;
    return false;
  }
  while (st.pos + sinc::kAfter >= st.filled && st.playing) {
    Fill(st, s, gateHigh);
    if (st.realEnd >= 0 && st.pos >= st.realEnd) st.playing = false;
  }
  if (!st.playing) return false;
  const float* at = st.buffer.data() + st.pos * s.channels;
  left = 0.5f * sinc::Read(sincTable, at, st.acc, s.channels);
  right = s.channels == 2 ? 0.5f * sinc::Read(sincTable, at + 1, st.acc, s.channels) : left;
  return true;
}

}  // namespace kr::dsp::wave_stream
