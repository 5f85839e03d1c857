// "Delay": a delay line modulated by a voltage. Also the audio object of the
// legacy "MIDI Adder(obsolete)". Its plugs and processing are not built yet;
// until then it lists no plugs and stays silent.
#pragma once

#include <memory>

#include "engine/ug_base.h"

class ug_delay : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override;
  void ListInterface(InterfaceList& list) override;
};
