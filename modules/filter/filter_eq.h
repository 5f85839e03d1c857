// "Parametric EQ": a peaking equaliser around the "Pitch", as wide as
// "Resonance" volts in octaves, boosting or cutting by "Boost/Cut".
#pragma once

#include "dsp/peaking_eq.h"
#include "modules/filter/filter_ladder.h"

namespace kr {

class ug_filter_eq_parametric : public ug_filter_biquad {
 public:
  std::unique_ptr<ug_base> CreateSame() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  const kr::dsp::EqCoefficients& Coefficients() const { return coefs_; }

 private:
  template <bool CoefRun>
  void Render(int offset, int count);
  void ChooseProcess() override;
  void StartAfresh() override;
  bool TrySettle() override;
  void FillSteady(int offset, int count) override;
  int RecheckDelay() override { return SamplesPerSecond(); }
  void UpdateCoefficients();

  kr::dsp::EqCoefficients coefs_;
  kr::dsp::EqState state_;
  float steady_ = 0.0f;
};

}  // namespace kr
