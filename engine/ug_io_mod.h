// "IO Mod": stands inside a container for the container's plugs. The graph
// builder joins its plugs straight through, so it processes nothing; it also
// carries the constant sources of the container's unconnected inputs.
#pragma once

#include "engine/ug_base.h"

namespace kr {

class ug_io_mod : public ug_base {
 public:
  ug_io_mod();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_io_mod>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
};

}  // namespace kr
