// The voltage world of audio plugs: a sample of 1.0 stands for 10 volts.
// Pitch is 1 volt per octave with 5 V = 440 Hz (middle A); the alternative
// "1 Volt/kHz" scale reads V volts as V * 1000 Hz.
#pragma once

#include <cmath>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

namespace kr {

namespace voltage {

inline constexpr double kVoltsPerUnit = 10.0;
inline constexpr double kMiddleAVolts = 5.0;
inline constexpr double kMiddleAHz = 440.0;

constexpr float VoltsToSample(double volts) { return static_cast<float>(volts / kVoltsPerUnit); }
constexpr double SampleToVolts(float sample) { return sample * kVoltsPerUnit; }

inline double PitchVoltsToHz(double volts) { return kMiddleAHz * std::exp2(volts - kMiddleAVolts); }
inline double HzToPitchVolts(double hz) { return kMiddleAVolts + std::log2(hz / kMiddleAHz); }
constexpr double KHzVoltsToHz(double volts) { return volts * 1000.0; }
constexpr double HzToKHzVolts(double hz) { return hz / 1000.0; }

// A plug default in volts, as the sample value it stands for ("5" -> 0.5).
// Text that is not a number gives 0.
inline float DefaultTextToSample(std::string_view text) {
  const std::string s(text);
  return static_cast<float>(std::strtod(s.c_str(), nullptr) * 0.1);
}

// Fills a block with the sample value of a default text.
inline void FillFromDefaultText(std::span<float> block, std::string_view text) {
  const float sample = DefaultTextToSample(text);
  for (float& s : block) s = sample;
}

}  // namespace voltage

}  // namespace kr
