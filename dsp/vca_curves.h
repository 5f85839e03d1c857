// The VCA's response curves: gain for a "Volume" sample (1.0 = 10 V), by
// formula and through the shared 514-entry tables used while it streams.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/lookup_tables.h"

namespace kr {

enum VcaCurve : std::int16_t { VC_DECIBEL_OLD = 0, VC_EXPONENTIAL = 1, VC_LINEAR = 2, VC_DECIBEL = 3 };

namespace dsp::vca {

// The formula of a curve; volumes below 0 count as 0.
float Gain(int curve, float volume);
// The shared table of a curve ("UVCA Trunc Exp Curve", "db Curve",
// "db Curve - old"); null for Linear. Call outside the audio thread.
std::shared_ptr<const ULookup> CurveTable(int curve);

}  // namespace dsp::vca

}  // namespace kr
