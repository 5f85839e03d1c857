#include "modules/legacy/push_button.h"

#include "modules/legacy/control_plugs.h"

void ug_obs_UPushButton::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO);
  legacy_controls::ListHiddenMidi(*this, list);
}
