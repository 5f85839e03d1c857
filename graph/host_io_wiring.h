// The document side of the host I/O: boundary plug pairs of a container, the
// top container's wiring to "VST Input" and "VST Output", and the plug-in's
// channel counts.
#pragma once

#include "registry/plug_types.h"

namespace kr {

class CContainer;
class CPlugIO2;

// A new plug on the container (its outside face, direction outsideDirection)
// paired with a plug of the opposite direction on the container's I/O module.
// Returns the outside plug; null when no I/O module can be made.
CPlugIO2* AddBoundaryPlug(CContainer& container, PlugDirection outsideDirection, PlugDataType type);

// Finds "VST Output" and "VST Input" in the root (making each when missing)
// and wires the top container's plugs to them: audio outputs to the next
// audio plug of "VST Output", audio inputs from the next one of "VST Input",
// MIDI to their MIDI plugs. Spare plugs and other types stay unconnected.
void WireTopContainer(CContainer& root, CContainer& top);

struct HostChannelCounts {
  int inputs = 0;
  int outputs = 0;
};
// The top container's audio plugs of each side, spares excluded.
HostChannelCounts CountHostChannels(const CContainer& top);

}  // namespace kr
