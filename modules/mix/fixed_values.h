// "Fixed Values": outputs holding the voltages the document stores for
// them. The values are written into the blocks when the graph is built; the
// module never computes and sleeps from the start.
#pragma once

#include <memory>

#include "engine/ug_base.h"
#include "registry/plug_declaration.h"

namespace kr {

class ug_fixed_values : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_fixed_values>(); }
  void ListInterface(InterfaceList& list) override {
    ListPlug(list,
             PlugDecl<ug_fixed_values>{.name = "Spare Value",
                                       .direction = DR_OUT,
                                       .defaultText = "0",
                                       .flags = PF_RENAME | PF_AUTO_DUPLICATE | PF_OUTPUT_VALUE | PF_VARIABLE_COUNT,
                                       .hint = "Pre-Set Voltage"});
  }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
};

}  // namespace kr
