// One host process call as the engine sees it: the host's buffers, the frame
// count, the MIDI the host sent for this block and the ring the patch's MIDI
// goes to. The effect object fills one per call and hands it down; the host
// I/O modules read it from the audio master while the block runs.
#pragma once

#include <cstdint>

#include "engine/outgoing_midi_ring.h"
#include "vst/vst2.h"

namespace kr {

struct HostBlock {
  float* const* inputs = nullptr;   // inputCount host channels (null: silence)
  int inputCount = 0;
  float* const* outputs = nullptr;  // outputCount host channels
  int outputCount = 0;
  int frames = 0;
  // False when the host called the accumulating entry: outputs are added to.
  bool replacing = true;
  // The host's events for this block (null: none). A negative offset is
  // written back as 0, as the host sees it delivered.
  vst::VstEvents* midiIn = nullptr;
  // Where the patch's outgoing MIDI is written, with engine times.
  OutgoingMidiRing* midiOut = nullptr;
  // Engine time of the block's first sample; set by the engine.
  std::uint32_t startTime = 0;
  // How many output channels, from the first, the engine writes; set by the
  // host output module. The effect object silences the rest.
  int outputsWritten = 0;
};

// A module that takes its part of each host block before the block runs
// (the host input and output modules). Audio thread.
class HostBlockReader {
 public:
  virtual void BeginHostBlock(HostBlock& block) = 0;

 protected:
  ~HostBlockReader() = default;
};

}  // namespace kr
