// The controls whose value is a voltage on "Signal Out" ("Slider", and the
// obsolete "Button"): the stored value is in volts, the output volts x 0.1.
// A move glides along a straight line over sample rate / 32 samples (4 for
// button-like sliders); a program change steps.
#pragma once

#include "engine/ug_control.h"
#include "modules/midi/output_smoother.h"

namespace kr {

class ug_volts_control : public ug_control {
 public:
  void Open() override;
  void ApplyValue(int patch, bool smooth) override;
  std::string ValueText() override;
  // The output, in the sample scale (volts x 0.1).
  float Output() const { return output_; }

 protected:
  explicit ug_volts_control(int outputPlug) : outputPlug_(outputPlug) {}
  virtual int RampLength() const;
  // Moves the output to a value in volts: false when it is there already
  // (force: moved all the same, as at the start).
  bool MoveTo(float volts, bool smooth, bool force = false);
  std::int32_t CurrentValue() override;

 private:
  void Run(int offset, int count);

  int outputPlug_;
  OutputSmoother smoother_;
  float volts_ = 0.0f;
  float output_ = 0.0f;
};

}  // namespace kr
