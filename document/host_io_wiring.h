// Joining the top-level container to the modules that meet the host: its
// audio inputs to the audio plugs of "VST Input" in order, its audio outputs
// to those of "VST Output", its MIDI input to "MIDI Out" of "VST Input" and
// its MIDI output to "MIDI In" of "VST Output".
#pragma once

class CContainer;

struct HostIoWiringResult {
  int audioInputs = 0;   // container inputs joined to a host channel
  int audioOutputs = 0;  // container outputs joined to a host channel
  bool midiIn = false;
  bool midiOut = false;
};

// Finds "VST Input" and "VST Output" among the root's children, making each
// there when missing. A container plug without a free partner plug (or one
// the partner refuses) stays unconnected.
HostIoWiringResult WireTopContainerToHostIo(CContainer& root, CContainer& top);
