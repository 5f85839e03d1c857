// "Delay" (also the audio object of the legacy "MIDI Adder(obsolete)") and
// "Delay2": a delay line of up to ten seconds, its read position moved by
// "Modulation", with feedback and optional interpolation. While its input is
// not streaming it drains: it runs until its output has been silent for a
// whole line (and a whole sub-block period), then sleeps.
#pragma once

#include <memory>

#include "dsp/delay_line.h"
#include "engine/ug_base.h"

namespace kr {

class ug_delay : public ug_base {
 public:
  enum PlugIndex { PN_IN, PN_MODULATION, PN_OUT, PN_TIME, PN_INTERPOLATE, PN_FEEDBACK };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_delay>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  const kr::dsp::DelayLine& Line() const { return line_; }

 protected:
  // The modulation sample that reads the whole line (K): 0.5 for "Delay"
  // (+5 V), 1.0 for "Delay2" (10 V).
  virtual float ReferenceLevel() const { return 0.5f; }
  void ListCommon(InterfaceList& list, const char* modulationDefault, const char* modulationRange,
                  const char* modulationHint, const char* timeDefault);

 private:
  template <bool Interpolate, bool ModRun, bool FeedbackRun>
  void Render(int offset, int count);
  // Wraps the renderer while the input is not streaming.
  void Drain(int offset, int count);
  void ChooseProcess();
  int DrainLength() const;

  float* in_ = nullptr;
  float* modulation_ = nullptr;
  float* out_ = nullptr;
  float* feedbackIn_ = nullptr;
  float delayTime_ = 0.25f;
  bool interpolate_ = false;
  kr::dsp::DelayLine line_;
  float feedback_ = 0.0f;  // the "Feedback" value while it does not stream
  ProcessFunction render_ = nullptr;
  int drainCount_ = 0;
  bool outputStatic_ = false;  // the output was announced as settled
};

class ug_delay2 : public ug_delay {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_delay2>(); }
  void ListInterface(InterfaceList& list) override;

 protected:
  float ReferenceLevel() const override { return 1.0f; }
};

}  // namespace kr
