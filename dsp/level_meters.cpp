#include "dsp/level_meters.h"

#include <cmath>
#include <numbers>

#include "dsp/denormal_guard.h"

namespace kr::dsp {

namespace {

float TimeCoefficient(double seconds, double sampleRate) {
  return static_cast<float>(std::exp(-1.0 / (seconds * sampleRate)));
}

double SaneRate(double sampleRate) { return sampleRate >= 1.0 && sampleRate <= 1e6 ? sampleRate : 44100.0; }

}  // namespace

float FollowerCoefficient(double sampleRate, float v) {
  const float rate = v > 0.001f ? v : 0.001f;
  return static_cast<float>(std::exp(-100.0 / (SaneRate(sampleRate) * rate)));
}

float PeakFollower::Tick(float x, float attack, float decay) {
  const float a = std::fabs(x);
  level = dsp::Undenormal(a + (level - a) * (a > level ? attack : decay));
  return level;
}

void LevelDetector::Configure(int r, double sampleRate) {
  const double rate = SaneRate(sampleRate);
  response = r >= kMeterVu && r <= kMeterRms ? r : kMeterDcFast;
  squareCoefficient = static_cast<float>(std::exp(-2.0 * std::numbers::pi * 100.0 / rate));
  switch (response) {
    case kMeterVu:
    case kMeterDcAverage:
    case kMeterRms:
      attack = release = TimeCoefficient(0.1, rate);
      break;
    case kMeterPpm:
      attack = TimeCoefficient(0.017, rate);
      release = TimeCoefficient(0.65, rate);
      break;
    default:
      attack = 0.0f;
      release = TimeCoefficient(0.03, rate);
      break;
  }
}

void LevelDetector::Tick(float x) {
  switch (response) {
    case kMeterVu:
    case kMeterPpm:
    case kMeterRms: {
      const float x2 = x * x;
      meanSquare = dsp::Undenormal(x2 + squareCoefficient * (meanSquare - x2));
      const float r = std::sqrt(meanSquare);
      level = dsp::Undenormal(r + (level - r) * (level < r ? attack : release));
      break;
    }
    case kMeterPeak:
    case kMeterHeadroom: {
      const float a = std::fabs(x);
      level = dsp::Undenormal(a + (level - a) * (level < a ? attack : release));
      break;
    }
    case kMeterDcAverage:
      level = dsp::Undenormal(x + (level - x) * release);
      break;
    default:
      break;
  }
}

float DetectorReport(int response, float reading) {
  if (response >= kMeterDcFast) return reading * 10.0f;
  const float db = (reading < 1e-8f ? -160.0f : 20.0f * std::log10(reading)) + 10.0f;
  return response == kMeterHeadroom ? -db : db;
}

int MeterUpdateInterval(double sampleRate, double rate) {
  const double rateHz = SaneRate(sampleRate);
  const double samples = rateHz / (rate + 0.03);
  if (!(samples >= 1.0)) return samples < 0.0 || samples != samples ? static_cast<int>(rateHz) : 1;
  if (samples > rateHz * 10.0) return static_cast<int>(rateHz * 10.0);
  return static_cast<int>(samples);
}

float PeakMeterLevel(float peak, bool linear) {
  if (linear) return peak * 100.0f;
  const float level = 22.5f * std::log10(std::fmax(2.0f * peak, 1e-12f)) + 90.0f;
  return level > -100.0f ? level : -100.0f;
}

}  // namespace kr::dsp
