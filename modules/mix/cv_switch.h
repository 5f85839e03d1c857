// "Switch" and "Switch2", the switches whose position is a voltage: the
// output passes one of the inputs, chosen sample by sample by "Select".
// "Switch" passes "Input B" while "Select" is above 0 V (a gate) and
// "Input A" otherwise; "Switch2" passes "Input 1" to "Input 4" for 0 - 2.5,
// 2.5 - 5, 5 - 7.5 and above 7.5 V (below 0 V the first). Our choices: the
// voltage (not a list) sets the position, and it switches without a fade.
#pragma once

#include <array>
#include <memory>

#include "engine/ug_base.h"

namespace kr {

template <int Inputs>
class CvSwitch : public ug_base {
 public:
  static constexpr int kSelect = Inputs;
  static constexpr int kOutput = Inputs + 1;

  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // The input a "Select" sample chooses.
  static int Choose(float select);

 private:
  template <bool SelectRuns>
  void Render(int offset, int count);
  void Settle(int offset, int count);
  void Update(int time);

  std::array<float*, Inputs> ins_{};
  float* select_ = nullptr;
  float* out_ = nullptr;
  int fixed_ = 0;  // the input chosen while "Select" is static
};

class ug_obs_USwitch_v1 : public CvSwitch<2> {
 public:
  enum PlugIndex { PN_INPUT_A, PN_INPUT_B, PN_SELECT, PN_OUTPUT };
  static_assert(PN_SELECT == kSelect && PN_OUTPUT == kOutput);

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_obs_USwitch_v1>(); }
  void ListInterface(InterfaceList& list) override;
};

class ug_obs_USwitch2_v1 : public CvSwitch<4> {
 public:
  enum PlugIndex { PN_INPUT_1, PN_INPUT_2, PN_INPUT_3, PN_INPUT_4, PN_SELECT, PN_OUTPUT };
  static_assert(PN_SELECT == kSelect && PN_OUTPUT == kOutput);

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_obs_USwitch2_v1>(); }
  void ListInterface(InterfaceList& list) override;
};

}  // namespace kr
