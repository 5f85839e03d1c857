// The logic of a module that computes on the GUI thread (document/ui/): a
// module holds it and tells it of its plugs and wires.
#pragma once

#include "document/plug2.h"

namespace kr {

class ModuleGuiLogic {
 public:
  virtual ~ModuleGuiLogic() = default;
  // Once the module's plugs are in place; a second call does nothing.
  virtual void Start() = 0;
  virtual void PlugsChanged() = 0;
  virtual void WiresChanged(CPlug2& plug) = 0;
};

}  // namespace kr
