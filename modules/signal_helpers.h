// Small shared pieces of the utility modules: reading an input at an
// instant, and the settle countdown that writes a constant into an output
// for one sub-block period before the module may sleep.
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

// Writes value into out from offset for up to the module's remaining settle
// count, counts it down, and installs the sleep check once it has run out.
// Answers whether the module still settles.
inline bool SettleFill(ug_base& module, float* out, float value, int offset, int count) {
  const int n = std::min(count, module.settleCount);
  if (n > 0 && out != nullptr) std::fill_n(out + offset, n, value);
  module.settleCount -= n;
  if (module.settleCount > 0) return true;
  module.SetProcessFunction(&ug_base::SleepCheck);
  module.SleepCheck(offset + n, count - n);
  return false;
}

}  // namespace kr
