// "VCA": Signal times the gain of "Volume" through one of four response
// curves. Sleeps when the product is constant.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "dsp/vca_curves.h"
#include "engine/ug_base.h"

namespace kr {

class ug_vca : public ug_base {
 public:
  enum PlugIndex { PN_SIGNAL, PN_VOLUME, PN_OUT, PN_CURVE };

  std::unique_ptr<ug_base> CreateSame() override;
  // Copies share the prototype's curve tables (voices are made and opened on the GUI thread, engine stopped).
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  float Gain() const { return gain_; }

 private:
  template <bool SigRun, bool VolRun, int Curve>
  void Render(int offset, int count);
  void SettleConstant(int offset, int count);
  void ChooseProcess(int time);
  float ValueAt(const float* buffer, int time) const;

  float* signal_ = nullptr;
  float* volume_ = nullptr;
  float* out_ = nullptr;
  std::int16_t curve_ = VC_EXPONENTIAL;
  float gain_ = 0.0f;
  float signalValue_ = 0.0f;
  float constant_ = 0.0f;
  // Indexed by curve value 0 ... 3 (Linear has none); held from Open so a
  // curve change on the audio thread never builds a table.
  std::array<std::shared_ptr<const kr::dsp::ULookup>, 4> tables_;
  const kr::dsp::ULookup* table_ = nullptr;
};

}  // namespace kr
