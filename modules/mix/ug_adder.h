// "Float Adder": sums every wire into its input. Static sources are folded
// into one constant; only streaming sources are added sample by sample, and
// with none streaming the adder holds the constant and sleeps.
#pragma once

#include <vector>

#include "engine/ug_base.h"
#include "registry/input_array.h"

namespace kr {

struct adder_input_info {
  UPlug* source = nullptr;
  PlugState state = ST_STOP;
  float value = 0.0f;
};

// The adder's summing input: one entry per connected source.
class InputArray_Float final : public BaseInputArray {
 public:
  void AddSource(UPlug* output) override;
  void RemoveSource(UPlug* output) override;
  adder_input_info* Find(const UPlug* output);

  std::vector<adder_input_info> inputs;
};

class ug_adder : public ug_base {
 public:
  ug_adder();
  // Plugs go first: the summing input's wires unregister from inputs_.
  ~ug_adder() override;
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_adder>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  float Constant() const { return constant_; }
  int StreamingCount() const { return static_cast<int>(streams_.size()); }

 private:
  void Recompute(int time);
  void ProcessStatic(int offset, int count);
  void ProcessStream(int offset, int count);

  float* out_ = nullptr;
  InputArray_Float inputs_;
  float constant_ = 0.0f;
  std::vector<const float*> streams_;
};

}  // namespace kr
