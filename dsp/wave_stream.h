// Playing WAVE sample data through a 4096-slot buffer: each fill keeps the
// last eight frames as the interpolator's history, reads on (around the
// loop while the gate is high) and pads with silence after the data's end.
// Engine-free; the wave players drive it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kr::dsp::wave_stream {

inline constexpr int kSlots = 4096;
inline constexpr int kHistory = 8;
inline constexpr double kMaxStep = 64.0;  // frames per output sample

struct Source {
  const std::uint8_t* data = nullptr;  // the "data" chunk's samples
  std::size_t frames = 0;
  int channels = 1;      // 1 or 2
  int bits = 16;         // 8, 16 (PCM) or 32 (float)
  bool hasLoop = false;  // loopStart < loopEnd <= frames
  std::size_t loopStart = 0;
  std::size_t loopEnd = 0;  // exclusive
};

struct State {
  std::array<float, kSlots> buffer{};  // interleaved frames
  int filled = 0;      // frames in the buffer
  int realEnd = -1;    // frame after the data's last, once it is in the buffer
  std::int64_t pos = 0;
  std::uint32_t acc = 0;
  std::uint32_t inc = 0;
  std::size_t next = 0;  // next frame of the data to read
  bool playing = false;
};

// One sample of the data as a float (8-bit unsigned, 16-bit signed, float).
float Convert(const Source& s, std::size_t frame, int channel);

// Back to the data's start: history cleared, the buffer filled.
void Restart(State& st, const Source& s, bool gateHigh);
// Keeps the history and reads on; loops while gateHigh and the loop lies ahead.
void Fill(State& st, const Source& s, bool gateHigh);

// One output frame (the data's values × 0.5); false once the data has played out.
bool Next(State& st, const Source& s, bool gateHigh, const float* sincTable, float& left, float& right);

}  // namespace kr::dsp::wave_stream
