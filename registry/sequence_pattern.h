// The patterns a step or drum sequencer plays, as its audio object keeps
// them, made from the numbers its panel control stores. Stored numbers come
// from documents: every one is held to its range here, so the player never
// meets a value it cannot play.
//
// Our reading of a stored step (four numbers): gate (0 rest, 1 note, 2 tie:
// the note before goes on without a new rise), MIDI note (69 is A 440, 5 V),
// velocity (0..127 to 0..10 V) and gate length in percent of the step (0 or
// out of range: 50). A step's flag, where stored, is an accent: 10 V
// velocity. A drum step is one number: velocity in bits 0-7 (0 rest), note
// in bits 8-15 (0: note 36).
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kr {

struct SequenceStep {
  enum Gate : std::uint8_t { kRest = 0, kNote = 1, kTie = 2 };
  Gate gate = kRest;
  float pitch = 0.5f;     // sample units (1.0 = 10 V), 1 V per octave
  float velocity = 0.0f;  // sample units
  float length = 0.5f;    // of the step, 0.01 .. 1
  bool operator==(const SequenceStep&) const = default;
};

struct SequencePattern {
  static constexpr int kMaxSteps = 32;
  std::array<SequenceStep, kMaxSteps> steps{};
  int length = 0;  // steps played, 0 .. kMaxSteps
};

struct SequencePatterns {
  static constexpr int kCount = 32;
  std::array<SequencePattern, kCount> patterns{};
};

// A stored step: gate, note, velocity, length (percent); accent from its flag.
SequenceStep StepFromStored(std::span<const std::int32_t, 4> values, bool accent);
// A stored drum step word.
SequenceStep DrumStepFromStored(std::int32_t word);

// An audio object that plays sequencer patterns: its document module hands
// them over when sound starts (GUI thread, engine stopped).
class SequencePatternReceiver {
 public:
  virtual void ReceivePatterns(const SequencePatterns& patterns) = 0;

 protected:
  ~SequencePatternReceiver() = default;
};

}  // namespace kr
