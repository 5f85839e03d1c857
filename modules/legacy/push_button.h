// "Button" (obsolete): its "Signal Out" carries the control's stored value,
// in volts. Not automatable; without an "Ignore Program Change" setting it
// keeps one value for every program.
#pragma once

#include <memory>

#include "modules/legacy/volts_control.h"

namespace kr {

class ug_obs_UPushButton final : public ug_volts_control {
 public:
  enum PlugIndex { PN_SIGNAL_OUT = 0 };
  ug_obs_UPushButton() : ug_volts_control(PN_SIGNAL_OUT) { ignoreProgramChange = true; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_obs_UPushButton>(); }
  void ListInterface(InterfaceList& list) override;

 protected:
  int RampLength() const override { return 4; }
};

}  // namespace kr
