// The counters: "Step Counter" (and "Step Counter2", which ignores a clock
// edge at time 0), "Decade Counter", "Binary Counter" and "Shift Register".
// Inputs are read with the logic hysteresis; each output moves to 5 V or
// 0 V along a 4-sample ramp.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "dsp/logic_levels.h"
#include "engine/ug_base.h"
#include "modules/midi/output_smoother.h"

namespace kr {

// The shared running of a counter with Inputs logic inputs (plugs 0 ...
// Inputs - 1) and its outputs after them. Derived supplies
// `bool Tick(const std::array<float, Inputs>& v, bool atTimeZero)` (true
// when the outputs may have changed) and `float Level(int output) const`.
template <class Derived, int Inputs>
class ug_counter_base : public ug_base {
 public:
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  int OutputCount() const { return static_cast<int>(smoothers_.size()); }

 private:
  void Run(int offset, int count);
  void SetOutputs(int time);
  void ProcessOutputs(int time, int offset, int count);

  std::array<float*, Inputs> in_{};
  std::array<float, Inputs> held_{};
  std::vector<OutputSmoother> smoothers_;
  bool streaming_ = false;
};

class ug_logic_counter : public ug_counter_base<ug_logic_counter, 2> {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_counter>(); }
  void ListInterface(InterfaceList& list) override;
  bool Tick(const std::array<float, 2>& v, bool atTimeZero);
  float Level(int output) const { return output == counter_.step ? kr::dsp::kLogicTrueLevel : 0.0f; }
  int Step() const { return counter_.step; }

 protected:
  virtual bool IgnoresEdgeAtZero() const { return false; }

 private:
  kr::dsp::StepCounter counter_;
};

class ug_logic_counter2 : public ug_logic_counter {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_counter2>(); }

 protected:
  bool IgnoresEdgeAtZero() const override { return true; }
};

class ug_logic_decade : public ug_logic_counter {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_decade>(); }
  void ListInterface(InterfaceList& list) override;
};

class ug_logic_Bin_Count : public ug_counter_base<ug_logic_Bin_Count, 2> {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_Bin_Count>(); }
  void ListInterface(InterfaceList& list) override;
  bool Tick(const std::array<float, 2>& v, bool atTimeZero) { return counter_.Tick(v[0], v[1], atTimeZero) != 0; }
  float Level(int output) const { return ((counter_.count >> output) & 1) != 0 ? kr::dsp::kLogicTrueLevel : 0.0f; }
  int Count() const { return counter_.count; }

 private:
  kr::dsp::BinaryCounter counter_;
};

class ug_logic_shift : public ug_counter_base<ug_logic_shift, 3> {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_shift>(); }
  void ListInterface(InterfaceList& list) override;
  bool Tick(const std::array<float, 3>& v, bool) { return register_.Tick(v[0], v[1], v[2]) != 0; }
  float Level(int output) const { return ((register_.bits >> output) & 1u) != 0 ? kr::dsp::kLogicTrueLevel : 0.0f; }
  unsigned Bits() const { return register_.bits; }

 private:
  kr::dsp::ShiftRegister register_;
};

}  // namespace kr
