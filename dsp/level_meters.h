// Level detectors of the meters and followers: "Peak Follower", the
// VoltsToFloat detector, the peak meter's scale and the volt meter's average.
#pragma once

#include <cstdint>

namespace kr::dsp {

// exp(-100 / (sampleRate * v)) for a rate voltage v in sample units, v at
// least 0.001 (1 V is a time constant of 1 ms).
float FollowerCoefficient(double sampleRate, float v);

// "Peak Follower": tracks |x| with separate rise and fall coefficients.
struct PeakFollower {
  float level = 0.0f;
  float Tick(float x, float attack, float decay);
};

// VoltsToFloat's responses.
enum MeterResponse : int {
  kMeterVu = 0,
  kMeterPpm = 1,
  kMeterPeak = 2,
  kMeterHeadroom = 3,
  kMeterDcFast = 4,
  kMeterDcAverage = 5,
  kMeterRms = 6,
};

struct LevelDetector {
  int response = kMeterDcFast;
  float attack = 0.0f;
  float release = 0.0f;
  float squareCoefficient = 0.0f;  // exp(-2 pi 100 / sample rate)
  float meanSquare = 0.0f;
  float level = 0.0f;  // y

  // Coefficients of a response (0 ... 6; others count as 4) at a rate.
  void Configure(int response, double sampleRate);
  // One input sample.
  void Tick(float x);
  // What an update reads: the sample itself without a detector, else y.
  float Reading(float x) const { return response == kMeterDcFast ? x : level; }
};

// "Float Out" for a reading: volts in the voltage responses, decibels
// (+10, -160 for silence, negated for headroom) in the others.
float DetectorReport(int response, float reading);

// Samples between updates: trunc(sampleRate / (rate + 0.03)), kept within
// 1 sample ... 10 seconds whatever the stored rate.
int MeterUpdateInterval(double sampleRate, double rate);

// Peak meter scale: decibels (22.5 log10(2 peak) + 90, at least -100) or
// linear (peak * 100).
float PeakMeterLevel(float peak, bool linear);

// The volt meter's running average of x (DC) or x^2 (AC RMS): each sample
// moves it a thousandth of the way, whatever the block size; samples that
// are not finite count as 0.
struct VoltMeterAverage {
  float level = 0.0f;
  bool rms = false;
  void Tick(float x) {
    if (!(x - x == 0.0f)) x = 0.0f;
    const float v = rms ? x * x : x;
    level += (v - level) * 0.001f;
  }
};

}  // namespace kr::dsp
