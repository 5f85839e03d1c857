#include "modules/legacy/push_button.h"

#include "modules/legacy/control_plugs.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_obs_UPushButton::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_obs_UPushButton> kPlugs[] = {
      {.at = PN_SIGNAL_OUT, .name = "Signal Out", .direction = DR_OUT},
  };
  static_assert(PlugIndicesMatch(kPlugs, 0) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  legacy_controls::ListHiddenMidi(*this, list);
}

}  // namespace kr
