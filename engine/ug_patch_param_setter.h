// A patch owner's holder of the constant sources that feed patch-value
// inputs. Its hidden "MIDI In" lets the graph builder order it after the
// container's MIDI automator, so a controller's value reaches the modules
// at the sample it arrives. Processes nothing; never suspended.
#pragma once

#include "engine/ug_base.h"

namespace kr {

class ug_patch_param_setter final : public ug_base {
 public:
  ug_patch_param_setter();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_patch_param_setter>(); }
  void Open() override;
};

}  // namespace kr
