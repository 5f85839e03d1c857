// "WaveShaper" and "WaveShaper2": the signal through a transfer curve of
// 11 points or of a formula in x, as a 514-entry table read with linear
// interpolation. The table is the module's own (shared with its voice
// copies) and is rebuilt, on the thread that runs the module, only when the
// "shape" text changes.
#pragma once

#include <memory>
#include <string>

#include "dsp/evaluator.h"
#include "dsp/shaper_curve.h"
#include "engine/ug_base.h"

namespace kr {

// What a module and its voice copies share.
struct ShaperCurve {
  ShaperCurve() { text.reserve(kTextRoom); }
  static constexpr std::size_t kTextRoom = 512;

  kr::dsp::ShaperTable table{};
  std::string text;  // the text the table was built from
  bool built = false;
  kr::dsp::Evaluator evaluator;  // this module's own: variables persist between its formulas
};

class ug_wave_shaper : public ug_base {
 public:
  enum PlugIndex { PN_SIGNAL_IN, PN_SIGNAL_OUT, PN_IGNORE_PROGRAM_CHANGE, PN_SHAPE };

  ug_wave_shaper();
  std::unique_ptr<ug_base> CreateSame() override;
  // Copies share the prototype's curve.
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // Builds the table from the current "shape" text.
  virtual void BuildCurve();
  const kr::dsp::ShaperTable& Table() const { return curve_->table; }

 protected:
  std::shared_ptr<ShaperCurve> curve_;
  std::string shape_;

 private:
  void Lookup(int offset, int count);
  void SettleLookup(int offset, int count);
  void ChooseProcess();

  float* in_ = nullptr;
  float* out_ = nullptr;
  bool ignoreProgramChange_ = false;
};

class ug_wave_shaper2 : public ug_wave_shaper {
 public:
  std::unique_ptr<ug_base> CreateSame() override;
  void BuildCurve() override;
};

}  // namespace kr
