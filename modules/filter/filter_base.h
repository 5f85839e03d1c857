// What the filters share: the "Freq Scale" setting, the engine-time grid on
// which their states pass the denormal guard, and the settle protocol (a
// check that runs when an input changes and then once per second until the
// filter has converged on a constant input; then the steady value for one
// settle period, the outputs stop, and the filter sleeps).
//
// A filter whose voice was suspended starts afresh when the voice resumes
// for a note, at the note's sample: the state it kept belonged to a note
// that was heard to its end, and was frozen wherever the voice happened to
// stop (a sub-block boundary, so a matter of the host's block size).
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/ug_base.h"

namespace kr {

class ug_filter_base : public ug_base {
 public:
  // Settled and waiting to sleep, or asleep (for tests and meters).
  bool Settled() const { return settled_; }
  void VoiceResumed(int time) override;

 protected:
  // States pass the guard after every sample that ends a stretch of this many
  // samples of engine time: a decay cannot reach the subnormal range within
  // one stretch, and the guard stays off the per-sample chain. On engine time,
  // so the result never depends on where the host cut its blocks.
  static constexpr int kFlushInterval = 32;

  static constexpr int kFreqScaleKHz = 1;
  bool VoltsPerKHz() const { return freqScale_ == kFreqScaleKHz; }
  double SampleRate() const;
  int SamplesPerSecond() const;

  // The index of the input a state change arrived on (-1 if none).
  int InputIndex(const connector* c) const;
  bool Streams(int plug) { return GetPlug(plug)->state == ST_RUN; }
  float ValueNow(int plug) { return GetPlug(plug)->GetValueNow(); }
  void SetOutputStates(int time, PlugState state);

  // Calls step(i) for every buffer index from offset on, and flush() after
  // each sample that ends a stretch of the grid.
  template <class Step, class Flush>
  void OnFlushGrid(int offset, int count, Step&& step, Flush&& flush) const {
    const int end = offset + count;
    int i = offset;
    while (i < end) {
      const int into = static_cast<int>(static_cast<unsigned>(PeriodStart() + i) % kFlushInterval);
      const int stop = std::min(end, i + kFlushInterval - into);
      const bool onGrid = stop - i == kFlushInterval - into;
      for (; i < stop; ++i) step(i);
      if (onGrid) flush();
    }
  }

  // The settle check of the filter: true when it has converged on its
  // (static) input; it snaps its state and fills steady_ for the outputs.
  // Non-finite states are reset to 0 here.
  virtual bool TrySettle() = 0;
  // Fills the outputs with their steady values (settled, for count samples).
  virtual void FillSteady(int offset, int count) = 0;
  // Samples after a failed check until the next one.
  virtual int RecheckDelay() { return SamplesPerSecond(); }
  // Installs the process function for the current input states.
  virtual void ChooseProcess() = 0;
  // The states as a newly opened filter has them (at Open, and when its
  // voice resumes): cleared, the coefficients and process function for the
  // inputs now, and the filter's first check.
  virtual void StartAfresh() = 0;

  // Runs the check now; settles or schedules the next check.
  void CheckNow(int time);
  // Schedules a check (unless one is due already).
  void ScheduleCheck(int time);
  void CancelCheck();
  // Back from settled: the outputs stream again and the filter renders.
  void Unsettle(int time);

  std::int16_t freqScale_ = 0;

 private:
  static void QueuedCheck(ug_base& module);
  static void Restart(ug_base& module);
  void SettledOutput(int offset, int count);

  bool settled_ = false;
  bool checkPending_ = false;
};

}  // namespace kr
