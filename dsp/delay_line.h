// The delay line of "Delay" and "Delay2": a ring of N samples, each sample
// written (input plus feedback) before the read, read N - x samples back
// (x from the modulation), optionally between two neighbours.
//
// The ring's storage is reserved once, for the longest line a sample rate
// allows, so a new delay time never allocates on the audio thread.
#pragma once

#include <vector>

#include "dsp/denormal_guard.h"

namespace kr::dsp {

struct DelayLine {
  std::vector<float> ring;  // capacity: the longest line; the first `length` samples are used
  int length = 1;           // N
  int write = 0;
  int offset = 1;           // 1 (oldest sample, N - 1 back) ... N (the sample just written)
  float fraction = 0.0f;    // 0 <= fraction < 1; 0 whenever the offset was clamped
  float last = 0.0f;        // the latest output, fed back
};

// The longest line: ten seconds of whole samples.
int MaxDelayLength(double sampleRate);
// N for a delay time: trunc(sampleRate * seconds) in single precision (so
// 0.01 s at 44100 Hz is 441 samples), 1 at least, the longest line at most.
// NaN and infinities are compared before any conversion.
int DelayLength(double sampleRate, float seconds);

// Allocates the ring (off the audio thread).
void ReserveDelay(DelayLine& line, int capacity);
// A new length (kept within the reserved ring): silence, writing from 0.
void SetDelayLength(DelayLine& line, int length);
// Offset and fraction for a modulation sample m: x = (reference - m) * N,
// kept within 1 ... N as a float before it becomes an integer.
void SetDelayModulation(DelayLine& line, float reference, float modulation);

// One sample: writes input + feedback * last, reads the delayed sample.
template <bool Interpolate>
inline float DelayTick(DelayLine& line, float input, float feedback) {
  float* ring = line.ring.data();
  const int n = line.length;
  ring[line.write] = input + feedback * line.last;
  int i = line.write + line.offset;
  if (i >= n) i -= n;
  float y = ring[i];
  if constexpr (Interpolate) {
    const int j = i + 1 < n ? i + 1 : 0;
    y = (1.0f - line.fraction) * y + line.fraction * ring[j];
  }
  y = dsp::Undenormal(y);
  line.last = y;
  if (++line.write >= n) line.write = 0;
  return y;
}

}  // namespace kr::dsp
