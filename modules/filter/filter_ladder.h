// "Moog Filter" (also stored as "Filter2 obsolete" and "Filter obs"): the
// four-stage ladder low-pass with resonance feedback and a soft clip.
#pragma once

#include <memory>

#include "dsp/ladder_filter.h"
#include "modules/filter/filter_base.h"

namespace kr {

class ug_filter_biquad : public ug_filter_base {
 public:
  enum PlugIndex { PN_SIGNAL, PN_PITCH, PN_RESONANCE, PN_OUTPUT, PN_MODE, PN_BOOST_CUT, PN_FREQ_SCALE };
  // The first check after the filter leaves its settled state.
  static constexpr int kFirstCheckDelay = 50;
  static constexpr float kSmall = 1.5e-6f;

  std::unique_ptr<ug_base> CreateSame() override;
  // Copies share the prototype's tuning (voices are made and opened on the GUI thread, engine stopped).
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  const kr::dsp::LadderState& State() const { return state_; }

 protected:
  // The plug list with "Mode" and "Boost/Cut" shown or hidden.
  void ListPlugs(InterfaceList& list, bool showExtras);
  float* signal_ = nullptr;
  float* pitch_ = nullptr;
  float* resonance_ = nullptr;
  float* out_ = nullptr;
  float* boost_ = nullptr;
  std::int16_t mode_ = 0;  // has no effect

 private:
  template <bool CoefRun>
  void Render(int offset, int count);
  void ChooseProcess() override;
  void StartAfresh() override;
  bool TrySettle() override;
  void FillSteady(int offset, int count) override;
  int RecheckDelay() override;
  void UpdateCoefficients();

  std::shared_ptr<const kr::dsp::LadderTuning> tuning_;
  kr::dsp::LadderCoefficients coefs_;
  kr::dsp::LadderState state_;
  float steady_ = 0.0f;
};

}  // namespace kr
