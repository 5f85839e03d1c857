// Gains of "Pan" and "X-Mix": the three fade laws, the volume factor of
// "Pan", and the shared tables behind them.
#pragma once

#include <memory>

#include "dsp/lookup_tables.h"

namespace kr::dsp {

enum FadeLaw : int { kFadeLinear = 0, kFadeSinEqualPower = 1, kFadeSqrtEqualPower = 2 };

// The shared tables a fader reads ("Sin Equal Power Curve", "Equal Power
// Curve", and the VCA's "db Curve" for the volume), taken when the module
// opens so that the audio thread never builds one.
struct FadeTables {
  std::shared_ptr<const ULookup> sinPower;
  std::shared_ptr<const ULookup> sqrtPower;
  std::shared_ptr<const ULookup> decibel;
};
FadeTables ObtainFadeTables();

// G(x) for x in 0 ... 1 (kept there): x itself for the linear law, the table
// of the law otherwise. Unknown laws count as the default (sin).
float FadeGain(const FadeTables& tables, int law, float x);

// The position a of "Pan" (0.5 - pan) and of "X-Mix" (0.5 - mix), kept in
// 0 ... 1; NaN counts as the centre.
float FadePosition(float control);

struct StereoGains {
  float left = 0.0f;
  float right = 0.0f;
};
// Left G(a), right G(1 - a), both times the volume factor.
StereoGains PanGains(const FadeTables& tables, int law, float pan, float volumeFactor);

// Gain of "Volume" (1.0 = 10 V): the "db Curve" table up to 10 V, then
// 10^(d/2) with d = 3.8888888 (v - 1). Kept finite: NaN gives 0, and
// volumes above 100 V count as 100 V.
float PanVolumeFactor(const FadeTables& tables, float volume);

}  // namespace kr::dsp
