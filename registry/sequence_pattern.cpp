#include "registry/sequence_pattern.h"

#include <algorithm>

namespace kr {

namespace {

constexpr std::int32_t kDrumDefaultNote = 36;

// 1 V per octave with note 69 at 5 V, in sample units.
float NotePitch(std::int32_t note) { return (5.0f + static_cast<float>(std::clamp(note, 0, 127) - 69) / 12.0f) * 0.1f; }

float VelocityLevel(std::int32_t velocity) { return static_cast<float>(std::clamp(velocity, 0, 127)) / 127.0f; }

}  // namespace

SequenceStep StepFromStored(std::span<const std::int32_t, 4> values, bool accent) {
  SequenceStep step;
  const std::int32_t gate = values[0];
  step.gate = gate == 1 ? SequenceStep::kNote : gate == 2 ? SequenceStep::kTie : SequenceStep::kRest;
  step.pitch = NotePitch(values[1]);
  step.velocity = accent ? 1.0f : VelocityLevel(values[2]);
  const std::int32_t percent = values[3];
  step.length = percent >= 1 && percent <= 100 ? static_cast<float>(percent) / 100.0f : 0.5f;
  return step;
}

SequenceStep DrumStepFromStored(std::int32_t word) {
  SequenceStep step;
  const std::int32_t velocity = word & 0xFF;
  const std::int32_t note = (word >> 8) & 0xFF;
  step.gate = velocity != 0 ? SequenceStep::kNote : SequenceStep::kRest;
  step.velocity = VelocityLevel(velocity);
  step.pitch = NotePitch(note != 0 ? note : kDrumDefaultNote);
  return step;
}

}  // namespace kr
