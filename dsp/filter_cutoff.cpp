#include "dsp/filter_cutoff.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kr::dsp {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

int RateKey(double sampleRate) { return static_cast<int>(sampleRate); }

// The pitch of entry i: V = 10 i / 512 volts, 1 volt per octave.
double EntryHz(int i) { return 440.0 * std::exp2(10.0 * i / 512.0 - 5.0); }

double LadderF(int i, double fs) { return 2.0 * std::min(EntryHz(i), kLadderMaxRatio * fs) / fs; }
double LadderK(double f) { return 3.6 * f - 1.6 * f * f - 1.0; }

}  // namespace

double PitchToHz(float pitch, bool voltsPerKHz) {
  const double s = pitch;
  return voltsPerKHz ? s * 10000.0 : 440.0 * std::exp2(10.0 * s - 5.0);
}

double CutoffRatio(float pitch, bool voltsPerKHz, double sampleRate, double maxRatio) {
  const double ratio = PitchToHz(pitch, voltsPerKHz) / sampleRate;
  if (!(ratio > kMinCutoffRatio)) return kMinCutoffRatio;  // NaN too
  return ratio < maxRatio ? ratio : maxRatio;
}

float ReadPitchTable(const ULookup& table, float s) {
  if (!(s > 0.0f)) return table[0];
  if (s >= 1.0f) return table[512];
  const float scaled = s * 512.0f;
  const int index = static_cast<int>(scaled);
  const float a = table[index];
  return a + (table[index + 1] - a) * (scaled - static_cast<float>(index));
}

std::shared_ptr<const ULookup> SvCutoffTable(double fs) {
  return SharedLookup("ug_filter_sv Cutoff", RateKey(fs), [fs](ULookup& t) {
    for (int i = 0; i < t.Size(); ++i) t[i] = static_cast<float>(kTwoPi * std::min(EntryHz(i), fs / 2.0) / fs);
  });
}

std::shared_ptr<const ULookup> SvResonanceLimitTable() {
  return SharedLookup("ug_filter_sv Resonance Limit", -1, [](ULookup& t) {
    for (int i = 0; i < t.Size(); ++i) t[i] = static_cast<float>(((i * 2.5e-5 + 0.009) * i + 7.8) * 0.1);
  });
}

std::shared_ptr<const ULookup> LadderKpTable(double fs) {
  return SharedLookup("Moog LP kp", RateKey(fs), [fs](ULookup& t) {
    for (int i = 0; i < t.Size(); ++i) t[i] = static_cast<float>(LadderK(LadderF(i, fs)));
  });
}

std::shared_ptr<const ULookup> LadderScaleTable(double fs) {
  return SharedLookup("Moog LP Scale", RateKey(fs), [fs](ULookup& t) {
    for (int i = 0; i < t.Size(); ++i) {
      const double p = (LadderK(LadderF(i, fs)) + 1.0) / 2.0;
      t[i] = static_cast<float>(std::exp((1.0 - p) * 1.386249));
    }
  });
}

std::shared_ptr<const ULookup> OnePoleTable(double fs) {
  return SharedLookup("1 pole l", RateKey(fs), [fs](ULookup& t) {
    for (int i = 0; i < t.Size(); ++i)
      t[i] = static_cast<float>(std::exp(-kTwoPi * std::min(EntryHz(i), kLadderMaxRatio * fs) / fs));
  });
}

std::shared_ptr<const ULookup> AllpassATable(double fs) {
  return SharedLookup("ug_filter_allpass A", RateKey(fs), [](ULookup& t) {
    for (int i = 0; i < t.Size(); ++i) t[i] = static_cast<float>(std::exp(-kTwoPi * i / 512.0));
  });
}

std::shared_ptr<const ULookup> AllpassBTable(double fs) {
  return SharedLookup("ug_filter_allpass B", RateKey(fs), [](ULookup& t) {
    for (int i = 0; i < t.Size(); ++i) t[i] = static_cast<float>(2.0 * std::cos(kTwoPi * i / 512.0));
  });
}

}  // namespace kr::dsp
