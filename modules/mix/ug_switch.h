// "Switch (1->Many)": routes its input to the chosen one of its outputs. Also
// the audio object of the legacy "Z-Filter obsolete". Its plugs and
// processing are not built yet; until then it lists no plugs and stays silent.
#pragma once

#include <memory>

#include "engine/ug_base.h"

class ug_switch : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override;
  void ListInterface(InterfaceList& list) override;
};
