// The logic gates: "AND Gate", "OR Gate", "XOR Gate", "NAND Gate", "NOR
// Gate" over a growing list of inputs, and the one-input "NOT Gate". Inputs
// are read with the logic hysteresis; the output is 5 V or 0 V and steps
// (ST_STATIC) at the sample where it changes.
#pragma once

#include <memory>
#include <vector>

#include "dsp/logic_levels.h"
#include "engine/ug_generic_1_1.h"

namespace kr {

class ug_logic_gate : public ug_base {
 public:
  enum PlugIndex { PN_OUTPUT, PN_FIRST_INPUT };

  explicit ug_logic_gate(kr::dsp::GateKind kind) : kind_(kind) {}
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  float Value() const { return value_; }

 private:
  void Scan(int offset, int count);
  void Settle(int offset, int count);
  void Apply(int time);

  kr::dsp::GateKind kind_;
  float* out_ = nullptr;
  std::vector<float*> ins_;
  std::vector<UPlug*> inPlugs_;
  std::vector<char> levels_;
  std::vector<int> streaming_;
  float value_ = 0.0f;
};

class ug_logic_AND : public ug_logic_gate {
 public:
  ug_logic_AND() : ug_logic_gate(kr::dsp::GateKind::And) {}
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_AND>(); }
};

class ug_logic_OR : public ug_logic_gate {
 public:
  ug_logic_OR() : ug_logic_gate(kr::dsp::GateKind::Or) {}
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_OR>(); }
};

class ug_logic_XOR : public ug_logic_gate {
 public:
  ug_logic_XOR() : ug_logic_gate(kr::dsp::GateKind::Xor) {}
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_XOR>(); }
};

class ug_logic_NAND : public ug_logic_gate {
 public:
  ug_logic_NAND() : ug_logic_gate(kr::dsp::GateKind::Nand) {}
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_NAND>(); }
};

class ug_logic_NOR : public ug_logic_gate {
 public:
  ug_logic_NOR() : ug_logic_gate(kr::dsp::GateKind::Nor) {}
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_NOR>(); }
};

// "NOT Gate": 5 V while the input is false (so 5 V from the start), 0 V while true.
class ug_logic_not : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_logic_not>(); }
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void BlockFunction(int offset, int count) override;

 private:
  void Apply(bool level, int time);

  bool level_ = false;
  float value_ = kr::dsp::kLogicTrueLevel;
};

}  // namespace kr
