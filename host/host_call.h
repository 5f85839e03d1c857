// One call a plug-in made to its host, as the harness recorded it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vst/vst2.h"

namespace kr {

struct HostCall {
  vst::AEffect* effect = nullptr;
  vst::VstInt32 opcode = 0;
  vst::VstInt32 index = 0;
  vst::VstIntPtr value = 0;
  float opt = 0.0f;
  void* ptr = nullptr;  // as passed; what it points to may be gone by the time a test looks
  bool hadPointer = false;
  // audioMasterProcessEvents: copies of the MIDI events (other event types keep only their header fields).
  std::vector<vst::VstMidiEvent> events;
  // Calls whose pointer is a text (audioMasterCanDo and the like): a copy of it.
  std::string text;
};

// Published names of the audio-master opcodes, for reports ("audioMasterAutomate").
const char* AudioMasterOpcodeName(vst::VstInt32 opcode);

}  // namespace kr
