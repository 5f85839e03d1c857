// "Thrasher": roughens a signal the way old samplers did, by taking fewer
// samples (each held until the next, "Rate") and fewer levels ("Bits").
// Our choices: 10 V on both takes every sample at 16 bits; "Rate" goes down to
// one sample in 64 at 0 V, "Bits" to one bit (the arithmetic is in
// dsp/crusher.h).
#pragma once

#include <memory>

#include "dsp/crusher.h"
#include "engine/ug_base.h"

namespace kr {

class UThrasher : public ug_base {
 public:
  enum PlugIndex { PN_SIGNAL, PN_BITS, PN_RATE, PN_OUTPUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<UThrasher>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 private:
  template <bool ControlsRun>
  void Render(int offset, int count);
  void Settle(int offset, int count);

  float* in_ = nullptr;
  float* bits_ = nullptr;
  float* rate_ = nullptr;
  float* out_ = nullptr;
  dsp::crusher::State state_;
  double levels_ = 1.0;  // from static controls
  double step_ = 1.0;
};

}  // namespace kr
