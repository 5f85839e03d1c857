// Values that travel from the audio side to a patch parameter: an audio
// module that produces a patch value (a source) hands each new value to the
// reporter bound to it, which passes it to the GUI side. Both run on the
// audio thread; binding happens while the engine is stopped.
#pragma once

#include <cstdint>

namespace kr {

class PatchValueReporter {
 public:
  virtual ~PatchValueReporter() = default;
  // bits: the value as the parameter's type carries it (float bits, integer).
  virtual void ReportPatchValue(std::int32_t bits) = 0;
};

class PatchValueSource {
 public:
  virtual ~PatchValueSource() = default;
  // Null unbinds. The source reports its current value from then on.
  virtual void WatchPatchValue(PatchValueReporter* reporter) = 0;
};

}  // namespace kr
