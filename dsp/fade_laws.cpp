#include "dsp/fade_laws.h"

#include <cmath>
#include <numbers>

#include "dsp/vca_curves.h"

namespace kr::dsp {

FadeTables ObtainFadeTables() {
  FadeTables t;
  t.sinPower = SharedLookup("Sin Equal Power Curve", -1, [](ULookup& table) {
    for (int i = 0; i < table.Size(); ++i) table[i] = static_cast<float>(std::sin(i * std::numbers::pi / 1024.0));
  });
  t.sqrtPower = SharedLookup("Equal Power Curve", -1, [](ULookup& table) {
    for (int i = 0; i < table.Size(); ++i) table[i] = static_cast<float>(std::sqrt(i / 512.0));
  });
  t.decibel = vca::CurveTable(VC_DECIBEL);
  return t;
}

float FadePosition(float control) {
  const float a = 0.5f - control;
  if (a != a) return 0.5f;
  return a < 0.0f ? 0.0f : (a > 1.0f ? 1.0f : a);
}

float FadeGain(const FadeTables& tables, int law, float x) {
  if (law == kFadeLinear) return x;
  const ULookup* table = law == kFadeSqrtEqualPower ? tables.sqrtPower.get() : tables.sinPower.get();
  return table != nullptr ? table->Interpolate(x) : x;
}

StereoGains PanGains(const FadeTables& tables, int law, float pan, float volumeFactor) {
  const float a = FadePosition(pan);
  return {FadeGain(tables, law, a) * volumeFactor, FadeGain(tables, law, 1.0f - a) * volumeFactor};
}

float PanVolumeFactor(const FadeTables& tables, float volume) {
  if (volume != volume) return 0.0f;
  if (volume <= 1.0f) return tables.decibel != nullptr ? tables.decibel->Interpolate(volume) : 0.0f;
  const float v = volume > 10.0f ? 10.0f : volume;
  return std::pow(10.0f, 3.8888888f * (v - 1.0f) / 2.0f);
}

}  // namespace kr::dsp
