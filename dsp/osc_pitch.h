// Pitch voltage to 32-bit phase increment (one cycle = 2^32), for the
// oscillators and anything else that follows their pitch scale.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/lookup_tables.h"

namespace kr::dsp {

class OscPitch {
 public:
  // The shared "osc pitch lookup" for this rate: increments for 8 V ... 9 V.
  explicit OscPitch(double sampleRate);

  // 1 volt per octave, 5 V = 440 Hz; pitch is a sample value (1.0 = 10 V).
  // Saturates at 0xFFFFFFFF; far below audible it gives 0.
  std::uint32_t VoltsPerOctave(float pitch) const;
  // "1 Volt/kHz": V * 1000 Hz, limited to 0 ... sample rate / 2.
  std::uint32_t VoltsPerKHz(float pitch) const;

  double SampleRate() const { return sampleRate_; }
  const ULookup_Integer& Table() const { return *table_; }

 private:
  double sampleRate_;
  std::shared_ptr<const ULookup_Integer> table_;
};

// Fills the pitch table for a sample rate (entry i: V = 8 + i/512).
void FillPitchTable(ULookup_Integer& table, double sampleRate);

}  // namespace kr::dsp
