#include "modules/legacy/volts_control.h"

#include <bit>
#include <cmath>
#include <cstdio>

#include "engine/audio_master.h"

namespace kr {

void ug_volts_control::Open() {
  smoother_.Init(OutputSmoother::kLinear, RampLength());
  smoother_.Bind(GetPlug(outputPlug_), BlockLength());
  ug_control::Open();
  const float volts = std::bit_cast<float>(ProgramValue(-1));
  MoveTo(volts, false, true);
}

int ug_volts_control::RampLength() const {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  return static_cast<int>(rate) / 32;
}

void ug_volts_control::ApplyValue(int patch, bool smooth) {
  MoveTo(std::bit_cast<float>(ProgramValue(patch)), smooth);
}

bool ug_volts_control::MoveTo(float volts, bool smooth, bool force) {
  // A stored value that is not a number gives 0 V, not a NaN stream.
  if (!std::isfinite(volts)) volts = 0.0f;
  const float output = volts * 0.1f;
  if (output == output_ && !force) return false;
  volts_ = volts;
  output_ = output;
  if ((flags & UGF_OPEN) == 0) return true;
  Wake();
  if (smooth)
    smoother_.Set(clock, output_, RampLength(), OutputSmoother::kLinear);
  else
    smoother_.Jump(clock, output_);
  SetProcessFunction(&ug_volts_control::Run);
  return true;
}

std::int32_t ug_volts_control::CurrentValue() { return std::bit_cast<std::int32_t>(volts_); }

std::string ug_volts_control::ValueText() {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(output_) * 10.0);
  return text;
}

void ug_volts_control::Run(int offset, int count) {
  smoother_.Process(clock, offset, count);
  if (smoother_.Finished()) SetProcessFunction(&ug_base::SleepCheck);
}

}  // namespace kr
