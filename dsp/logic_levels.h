// Logic levels from voltages, as the gates, counters, monostable and the
// command trigger read them: true above 3.3333 V, false below 1.6667 V, and
// unchanged in between, so a slowly moving or noisy input switches once.
#pragma once

#include <cstdint>

namespace kr::dsp {

inline constexpr float kLogicLow = 1.0f / 6.0f;   // 1.6667 V
inline constexpr float kLogicHigh = 1.0f / 3.0f;  // 3.3333 V
inline constexpr float kLogicTrueLevel = 0.5f;    // 5 V

inline bool LogicLevel(bool previous, float v) {
  if (v < kLogicLow) return false;
  if (v > kLogicHigh) return true;
  return previous;  // in the band, and NaN
}

// One logic input: its level and whether the last sample made it rise.
struct LogicInput {
  bool level = false;
  // Updates with sample v; true when the level went from false to true.
  bool Rises(float v) {
    const bool was = level;
    level = LogicLevel(level, v);
    return level && !was;
  }
};

enum class GateKind { And, Or, Xor, Nand, Nor };

// The gate's answer for `high` true inputs out of `count`. With no inputs at
// all AND and NOR are true (no input is false), the others false.
inline bool GateOutput(GateKind kind, int high, int count) {
  switch (kind) {
    case GateKind::And:
      return high == count;
    case GateKind::Nand:
      return high != count;
    case GateKind::Or:
      return high > 0;
    case GateKind::Nor:
      return high == 0;
    case GateKind::Xor:
      return (high & 1) != 0;
  }
  return false;
}

// "Step Counter": one output of `outputs` is high. A rising reset goes back
// to step 0; a rising clock while reset is low moves on, wrapping after the
// last output. With no outputs the step stays 0.
struct StepCounter {
  int step = 0;
  LogicInput clock;
  LogicInput reset;
  // One sample of both inputs; true when the step changed. ignoreClock
  // drops a clock edge (the counters that ignore an edge at time 0).
  bool Tick(float clockV, float resetV, int outputs, bool ignoreClock = false) {
    const int before = step;
    if (reset.Rises(resetV)) step = 0;
    if (clock.Rises(clockV) && !reset.level && !ignoreClock && outputs > 0) step = step + 1 < outputs ? step + 1 : 0;
    return step != before;
  }
};

// "Binary Counter": an 8-bit count (B0 ... B7).
struct BinaryCounter {
  std::uint8_t count = 0;
  LogicInput clock;
  LogicInput reset;
  // One sample; answers the bits that changed.
  std::uint8_t Tick(float clockV, float resetV, bool ignoreClock = false) {
    const std::uint8_t before = count;
    if (reset.Rises(resetV)) count = 0;
    if (clock.Rises(clockV) && !reset.level && !ignoreClock) ++count;
    return static_cast<std::uint8_t>(before ^ count);
  }
};

// "Shift Register": ten bits (B0 ... B9); a rising clock shifts left and
// takes the input's level into bit 0, a rising reset clears.
struct ShiftRegister {
  static constexpr std::uint32_t kMask = 0x3FF;
  std::uint32_t bits = 0;
  LogicInput clock;
  LogicInput input;
  LogicInput reset;
  // One sample; answers the bits that changed.
  std::uint32_t Tick(float clockV, float inputV, float resetV) {
    const std::uint32_t before = bits;
    input.Rises(inputV);
    if (reset.Rises(resetV)) bits = 0;
    if (clock.Rises(clockV)) bits = ((bits << 1) | (input.level ? 1u : 0u)) & kMask;
    return before ^ bits;
  }
};

}  // namespace kr::dsp
