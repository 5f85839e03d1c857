// "SV Filter": the state-variable filter with low-pass, high-pass, band-pass
// and band-reject outputs. Only the connected outputs are computed where that
// saves work; coefficients follow a streaming "Pitch" or "Resonance" per
// sample.
#pragma once

#include <memory>

#include "dsp/sv_filter.h"
#include "dsp/sv_lowpass_groups.h"
#include "modules/filter/filter_base.h"

namespace kr {

class ug_filter_sv : public ug_filter_base {
 public:
  static_assert(kr::dsp::SvLowPassGroups::kFlushEvery == kFlushInterval, "one denormal grid for every variant");
  enum PlugIndex { PN_SIGNAL, PN_PITCH, PN_RESONANCE, PN_LOW_PASS, PN_HI_PASS, PN_BAND_PASS, PN_BAND_REJECT, PN_FREQ_SCALE };
  enum Outputs { kAllOutputs, kLowOnly, kHighOnly };

  std::unique_ptr<ug_base> CreateSame() override;
  // Copies share the prototype's tuning (voices are made and opened on the GUI thread, engine stopped).
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  kr::dsp::SvState State() const { return StateNow(); }
  const kr::dsp::SvCoefficients& Coefficients() const { return coefs_; }

 private:
  template <int Which, bool PitchRun, bool ResRun>
  void Render(int offset, int count);
  // The low-pass alone with steady coefficients, eight samples at a time.
  void RenderLowGroups(int offset, int count);
  // The state now, wherever it is kept.
  kr::dsp::SvState StateNow() const { return groupsActive_ ? groups_.Current() : state_; }
  // Makes state_ the state now and stops the eight-sample runner.
  void Materialize();
  void ChooseProcess() override;
  void StartAfresh() override;
  bool TrySettle() override;
  void FillSteady(int offset, int count) override;
  void UpdateCoefficients();
  static void SeedState(ug_base& module);

  float* signal_ = nullptr;
  float* pitch_ = nullptr;
  float* resonance_ = nullptr;
  float* low_ = nullptr;
  float* high_ = nullptr;
  float* band_ = nullptr;
  float* reject_ = nullptr;
  std::shared_ptr<const kr::dsp::SvTuning> tuning_;
  kr::dsp::SvCoefficients coefs_;
  float frequency_ = 0.1f;  // f before the resonance limit
  kr::dsp::SvState state_;
  kr::dsp::SvLowPassGroups groups_;
  bool groupsActive_ = false;  // the state lives in groups_
};

}  // namespace kr
