// Small shared pieces of the utility modules: reading an input at an
// instant, and the settle step that writes a constant into an output for
// one sub-block period before the module may sleep.
#pragma once

#include <algorithm>

#include "engine/ug_base.h"

namespace kr {

// The sample of `buffer` at engine time `time` (within the current period).
inline float SampleAt(const ug_base& module, const float* buffer, int time) {
  if (buffer == nullptr) return 0.0f;
  const int index = std::clamp(time - module.PeriodStart(), 0, module.BlockLength() - 1);
  return buffer[index];
}

// The settle step of a module whose output settles on one value: writes value
// into out for what is left of the settle period (ug_base::SettleStep).
inline bool SettleFill(ug_base& module, float* out, float value, int offset, int count) {
  return module.SettleStep(offset, count, [out, value](int at, int n) {
    if (out != nullptr) std::fill_n(out + at, n, value);
  });
}

}  // namespace kr
