#include "modules/midi/output_smoother.h"

#include "engine/uplug.h"

namespace kr {

void OutputSmoother::Bind(UPlug* plug, int blockLength) {
  plug_ = plug;
  out_ = plug != nullptr ? plug->GetSampleBuffer() : nullptr;
  blockLength_ = blockLength;
  state_.settle = blockLength;
}

void OutputSmoother::Set(int time, float value, int length, Mode mode) {
  switch (kr::dsp::StartSmoothing(state_, value, length, static_cast<kr::dsp::SmoothMode>(mode), blockLength_)) {
    case kr::dsp::SmoothStart::kUnchanged:
      return;
    case kr::dsp::SmoothStart::kStepped:
      // A step: the new value from this sample on.
      if (plug_ != nullptr) plug_->SetState(time, ST_STATIC);
      return;
    case kr::dsp::SmoothStart::kMoving:
      if (plug_ != nullptr) plug_->SetState(time, ST_RUN);
      return;
  }
}

void OutputSmoother::Process(int startTime, int offset, int count) {
  if (out_ == nullptr || count <= 0) return;
  const int arrived = kr::dsp::ProcessSmoothing(state_, out_ + offset, count, blockLength_);
  // Arrived: announced as a step after its last moving sample.
  if (arrived >= 0 && plug_ != nullptr) plug_->SetState(startTime + arrived, ST_STATIC);
}

}  // namespace kr
