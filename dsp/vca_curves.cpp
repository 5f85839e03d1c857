#include "dsp/vca_curves.h"

#include <cmath>

namespace kr::dsp::vca {

namespace {

float Exponential(double v) { return static_cast<float>(1.0 - (1.0 - std::exp(-3.0 * (1.0 - v))) / (1.0 - std::exp(-3.0))); }

float Decibel(double v) {
  double d = (v - 1.0) * 3.8888888;
  if (d < -3.5) d = (d + 3.5) * 2.0 - 3.5;
  return static_cast<float>(std::pow(10.0, d / 2.0));
}

float DecibelOld(double v) {
  double e = 5.0 * (v - 1.0);
  if (e < -4.0) e = (e + 4.0) * 3.0 - 4.0;
  return static_cast<float>(std::pow(10.0, e));
}

}  // namespace

float Gain(int curve, float volume) {
  const double v = volume > 0.0f ? volume : 0.0;  // NaN counts as 0 too
  switch (curve) {
    case VC_LINEAR:
      return static_cast<float>(v);
    case VC_DECIBEL:
      return Decibel(v);
    case VC_DECIBEL_OLD:
      return DecibelOld(v);
    case VC_EXPONENTIAL:
    default:
      return Exponential(v);
  }
}

std::shared_ptr<const ULookup> CurveTable(int curve) {
  switch (curve) {
    case VC_LINEAR:
      return nullptr;
    case VC_DECIBEL:
      return SharedLookup("db Curve", -1, [](ULookup& t) {
        t[0] = 0.0f;
        for (int i = 1; i < t.Size(); ++i) t[i] = Decibel(i / 512.0);
      });
    case VC_DECIBEL_OLD:
      return SharedLookup("db Curve - old", -1, [](ULookup& t) {
        t[0] = 0.0f;
        for (int i = 1; i < t.Size(); ++i) {
          double a = 0.09765625 * i - 50.0;
          if (a < -40.0) a = (a + 40.0) * 3.0 - 40.0;
          t[i] = static_cast<float>(std::pow(10.0, a / 10.0));
        }
      });
    case VC_EXPONENTIAL:
    default:
      return SharedLookup("UVCA Trunc Exp Curve", -1, [](ULookup& t) {
        for (int i = 0; i < t.Size(); ++i) t[i] = Exponential(i / 512.0);
      });
  }
}

}  // namespace kr::dsp::vca
