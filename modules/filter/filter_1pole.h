// "1 Pole LP" and "1 Pole HP": one state, y := x + a (y - x); the low-pass
// outputs y, the high-pass x - y.
#pragma once

#include <memory>

#include "dsp/one_pole.h"
#include "modules/filter/filter_base.h"

namespace kr {

class ug_filter_1pole : public ug_filter_base {
 public:
  enum PlugIndex { PN_SIGNAL, PN_PITCH, PN_OUTPUT, PN_FREQ_SCALE };

  std::unique_ptr<ug_base> CreateSame() override;
  // Copies share the prototype's tuning (voices are made and opened on the GUI thread, engine stopped).
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  float Coefficient() const { return a_; }

 protected:
  virtual bool HighPass() const { return false; }

 private:
  template <bool High, bool PitchRun>
  void Render(int offset, int count);
  void ChooseProcess() override;
  void StartAfresh() override;
  bool TrySettle() override;
  void FillSteady(int offset, int count) override;

  float* signal_ = nullptr;
  float* pitch_ = nullptr;
  float* out_ = nullptr;
  std::shared_ptr<const kr::dsp::OnePoleTuning> tuning_;
  float a_ = 0.0f;
  kr::dsp::OnePoleState state_;
};

class ug_filter_1pole_hp : public ug_filter_1pole {
 public:
  std::unique_ptr<ug_base> CreateSame() override;

 protected:
  bool HighPass() const override { return true; }
};

}  // namespace kr
