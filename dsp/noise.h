// The noise generator the oscillators share: one process-wide linear
// congruential state, so every noise oscillator draws from the same sequence.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

namespace kr::dsp::noise {

// The shared state. Each block loads it, advances a local copy and stores it
// back, so engines on two threads never tear it.
std::atomic<std::uint32_t>& SharedState();

inline std::uint32_t Next(std::uint32_t s) { return s * 1664525u + 1013904223u; }

// Uniform in -0.5 ... 0.5: the low 23 bits as the mantissa of a float in [1, 2).
inline float White(std::uint32_t s) { return std::bit_cast<float>(0x3F800000u | (s & 0x7FFFFFu)) - 1.5f; }

// Six one-pole sections fed with white noise; their sum is pink.
struct PinkFilter {
  float b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
  float operator()(float w) {
    b1 = 0.997f * b1 + 0.029591f * w;
    b2 = 0.985f * b2 + 0.032534f * w;
    b3 = 0.95f * b3 + 0.048056f * w;
    b4 = 0.85f * b4 + 0.090579f * w;
    b5 = 0.62f * b5 + 0.10899f * w;
    b6 = 0.25f * b6 + 0.255784f * w;
    return b1 + b2 + b3 + b4 + b5 + b6;
  }
};

}  // namespace kr::dsp::noise
