// "ADSR": attack to full scale, decay to the sustain level, hold while the
// gate is on, release to 0.
#pragma once

#include <memory>

#include "modules/env/envelope_base.h"

namespace kr {

class ug_adsr : public ug_envelope {
 public:
  enum PlugIndex { PN_GATE, PN_ATTACK, PN_DECAY, PN_SUSTAIN, PN_RELEASE, PN_OVERALL, PN_OUT };

  std::unique_ptr<ug_base> CreateSame() override;
  void ListInterface(InterfaceList& list) override;

 protected:
  void ConfigureSegments() override;
};

}  // namespace kr
