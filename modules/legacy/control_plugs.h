// The plug lists that the legacy panel controls share.
#pragma once

#include "engine/ug_control.h"

namespace kr {

namespace legacy_controls {

// The six plugs an automatable control begins with: "Channel", "MIDI In",
// "MIDI Out" (placeholders for the ordering connections), "MIDI Controller
// ID", "Ignore Program Change" and "MIDI NRPN".
inline constexpr int kControlPlugCount = 6;
void ListControlPlugs(ug_control& control, InterfaceList& list);
// "Show Title On Panel", read by the panel only.
void ListShowTitle(bool& member, InterfaceList& list);
// The hidden "MIDI In" and "MIDI Out" that close the lists of the controls
// outside MIDI automation.
void ListHiddenMidi(ug_control& control, InterfaceList& list);

}  // namespace legacy_controls

}  // namespace kr
