// "Step Sequencer" and "Drum Sequencer": one audio class for both. Plays one
// of the 32 patterns its panel control stores (see registry/sequence_pattern.h
// for what a step holds) as gate, pitch and velocity voltages.
//
// Our choices: the pattern is the control's value in each program (a number
// 0..31; a MIDI controller or host value spans the 32 evenly), taken up at the
// next step so a running step is never cut. "Host Tempo" steps on the host's
// song position (a step per sixteenth by default; 120 bpm from engine start
// when the host reports no time), holding still while its transport stops;
// "Gate Input" steps on each rise of "Clock", the gate then following the
// clock's pulse (the source is read when sound starts). A rise of "Reset"
// restarts the pattern at the next step.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/logic_levels.h"
#include "dsp/step_clock.h"
#include "engine/ug_control.h"
#include "modules/legacy/control_plugs.h"
#include "registry/sequence_pattern.h"

namespace kr {

class ug_step_sequencer final : public ug_control, public SequencePatternReceiver {
 public:
  enum PlugIndex {
    PN_CLOCK = legacy_controls::kControlPlugCount,
    PN_RESET,
    PN_CLOCK_SOURCE,
    PN_STEP_SIZE,
    PN_GATE_OUT,
    PN_PITCH_OUT,
    PN_VELOCITY_OUT
  };
  enum ClockSource : std::int16_t { kHostTime = 0, kGateInput = 1 };
  static constexpr float kGateLevel = dsp::kLogicTrueLevel;  // 5 V

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_step_sequencer>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  // GUI thread, engine stopped.
  void ReceivePatterns(const SequencePatterns& patterns) override;

  // The program's value chooses the pattern (at the next step).
  void ApplyValue(int patch, bool smooth) override;
  bool SetFromMidi(float value) override;
  float NormalisedValue() override;

  int PlayingPattern() const { return pattern_; }
  static int PatternFromValue(float value);

 protected:
  std::int32_t CurrentValue() override;

 private:
  void RunHostTime(int offset, int count);
  void RunGateClock(int offset, int count);
  void SettleGateClock(int offset, int count);
  // Takes up a waiting pattern and the step's pitch and velocity.
  void EnterStep(std::int64_t step);
  const SequenceStep* StepOf(std::int64_t step) const;
  bool CarriedOn(std::int64_t step) const;
  // Gate mode: one sample's clock and reset at engine time `time`.
  void ClockSample(float clock, float reset, int time);
  // Gate mode: outputs that changed since the values given announce a step at `time`.
  void AnnounceChanges(int time, float gateBefore, float pitchBefore, float velocityBefore);
  void Write(int i);

  float* clockIn_ = nullptr;
  float* resetIn_ = nullptr;
  float* gateOut_ = nullptr;
  float* pitchOut_ = nullptr;
  float* velocityOut_ = nullptr;
  std::int16_t clockSource_ = kHostTime;
  std::int16_t stepSize_ = 16;

  SequencePatterns patterns_{};
  int pattern_ = 0;
  int waitingPattern_ = 0;
  std::int64_t step_ = 0;  // the step playing, counted from the pattern's start
  bool started_ = false;   // a step has been entered since open (or the host's stop)
  std::int64_t origin_ = 0;  // host time: the song step where the pattern began
  bool restart_ = false;    // gate mode: the next clock plays the first step
  dsp::LogicInput clock_;
  dsp::LogicInput reset_;
  float gate_ = 0.0f;
  float pitch_ = 0.5f;
  float velocity_ = 0.0f;
};

}  // namespace kr
