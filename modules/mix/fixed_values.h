// "Fixed Values": outputs holding the voltages the document stores for
// them. The values are written into the blocks when the graph is built; the
// module never computes and sleeps from the start.
#pragma once

#include <memory>

#include "engine/ug_base.h"

class ug_fixed_values : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_fixed_values>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Spare Value", DR_OUT, DT_AUDIO, "0", "",
                      PF_RENAME | PF_AUTO_DUPLICATE | PF_OUTPUT_VALUE | PF_VARIABLE_COUNT, "Pre-Set Voltage");
  }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
};
