// "Monostable": a rising input (logic hysteresis) starts a 5 V pulse of
// "Pulse Length" (10 V = 1 second, one sample at least); edges during a
// pulse are ignored.
#pragma once

#include <memory>

#include "dsp/logic_levels.h"
#include "engine/ug_base.h"

namespace kr {

class ug_monostable : public ug_base {
 public:
  enum PlugIndex { PN_IN, PN_LENGTH, PN_OUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_monostable>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // Samples of a pulse for a "Pulse Length" sample value.
  static int PulseSamples(double sampleRate, float length);

 private:
  void Run(int offset, int count);
  void Edge(bool rises, int time, float length);

  float* in_ = nullptr;
  float* length_ = nullptr;
  float* out_ = nullptr;
  kr::dsp::LogicInput input_;
  float value_ = 0.0f;
  int remaining_ = 0;  // samples of the running pulse still to come
  bool streaming_ = false;
};

}  // namespace kr
