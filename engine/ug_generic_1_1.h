// Base of one-input, one-output audio modules: "Signal in" -> "Signal Out".
// Derived classes supply the block function. The inherited slots keep the
// threads engine/ug_base.h gives them.
#pragma once

#include "engine/ug_base.h"

namespace kr {

class ug_generic_1_1 : public ug_base {
 public:
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // Slot 27: produce count samples of output from offset. Audio thread.
  virtual void BlockFunction(int offset, int count) = 0;

  // Settling variant: runs the block function, then counts down L samples.
  void SettleBlock(int offset, int count);

 protected:
  float* in_ptr = nullptr;
  float* out_ptr = nullptr;
};

}  // namespace kr
