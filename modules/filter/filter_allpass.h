// "All Pass": the second-order all-pass; "Resonance" narrows the band in
// which the phase turns.
#pragma once

#include <memory>

#include "dsp/allpass_filter.h"
#include "modules/filter/filter_base.h"

namespace kr {

class ug_filter_allpass : public ug_filter_base {
 public:
  enum PlugIndex { PN_SIGNAL, PN_PITCH, PN_RESONANCE, PN_OUTPUT, PN_FREQ_SCALE };

  std::unique_ptr<ug_base> CreateSame() override;
  // Copies share the prototype's tuning (voices are made and opened on the GUI thread, engine stopped).
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  const kr::dsp::AllpassCoefficients& Coefficients() const { return coefs_; }

 private:
  template <bool CoefRun>
  void Render(int offset, int count);
  void ChooseProcess() override;
  void StartAfresh() override;
  bool TrySettle() override;
  void FillSteady(int offset, int count) override;
  void UpdateCoefficients();

  float* signal_ = nullptr;
  float* pitch_ = nullptr;
  float* resonance_ = nullptr;
  float* out_ = nullptr;
  std::shared_ptr<const kr::dsp::AllpassTuning> tuning_;
  kr::dsp::AllpassCoefficients coefs_;
  kr::dsp::AllpassState state_;
  float steady_ = 0.0f;
};

}  // namespace kr
