// The oscillator's render loop: a wave table read at a 32-bit phase (one
// cycle = 2^32), with the pitch, the phase modulation and the pulse width
// either held or read per sample. One instantiation per combination, so the
// loop carries no test for inputs that are held.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "dsp/lookup_tables.h"
#include "dsp/osc_pitch.h"

namespace kr::dsp {

enum OscShape { kOscTable, kOscRamp, kOscPulse };

// What a render advances.
struct OscPhase {
  std::uint32_t phase = 0;
  std::uint32_t pm = 0;  // the current phase-modulation offset m (the phase carries -m)
  std::uint32_t increment = 0;
};

// The inputs of one stretch, each from its first sample (a held input's
// buffer is not read).
struct OscInputs {
  const float* pitch = nullptr;
  const float* width = nullptr;
  const float* phaseMod = nullptr;
  const float* depth = nullptr;
  std::uint32_t pulseOffset = 0x80000000u;  // held pulse width
};

// The phase shift of a phase-modulation sample.
inline std::uint32_t OscPmOffset(float phaseMod, float depth) {
  const double offset = static_cast<double>(phaseMod * depth) * 4294967296.0;
  if (!(std::fabs(offset) < 9.0e18)) return 0;  // NaN or absurd input: no shift
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(offset));
}

// The offset of the pulse's second ramp for a pulse-width sample
// (-10 ... 10 V = 0 ... 100 %).
inline std::uint32_t OscPulseOffset(float width) {
  const float w = std::isnan(width) ? 0.0f : std::clamp(width, -0.99f, 0.99f);
  return static_cast<std::uint32_t>((1.0 - w) * 2147483648.0);
}

template <int Shape, bool PitchRun, bool PmRun, bool PwRun, bool KHz>
inline void OscRender(OscPhase& state, const OscInputs& in, const OscPitch& pitchConv, const Uwavetable& table,
                      float* dest, int count) {
  std::uint32_t phase = state.phase;
  std::uint32_t m = state.pm;
  std::uint32_t increment = state.increment;
  std::uint32_t pulseOffset = in.pulseOffset;
  for (int i = 0; i < count; ++i) {
    if constexpr (PitchRun)
      increment = KHz ? pitchConv.VoltsPerKHz(in.pitch[i]) : pitchConv.VoltsPerOctave(in.pitch[i]);
    if constexpr (PmRun) {
      // This sample's modulation replaces the last one's.
      const std::uint32_t next = OscPmOffset(in.phaseMod[i], in.depth[i]);
      phase += m - next;
      m = next;
    }
    if constexpr (PwRun) pulseOffset = OscPulseOffset(in.width[i]);
    if constexpr (Shape == kOscTable) {
      dest[i] = table.Read(phase);
    } else if constexpr (Shape == kOscRamp) {
      dest[i] = -table.Read(phase);
    } else {
      dest[i] = table.Read(phase - pulseOffset) - table.Read(phase);
    }
    phase += increment;
  }
  state.phase = phase;
  state.pm = m;
  state.increment = increment;
}

}  // namespace kr::dsp
