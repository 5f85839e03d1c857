// What the plug-in's parts may ask of the host, without knowing the effect
// object that talks to it. The effect object implements it.
#pragma once

#include <cstdint>

#include "vst/vst2.h"

namespace kr {

class HostServices {
 public:
  // audioMasterGetTime with the given filter; null when the host gives none.
  // Audio thread.
  virtual const vst::VstTimeInfo* TimeInfo(std::int32_t filter) = 0;
  // audioMasterAutomate: a parameter changed inside the plug-in. GUI thread.
  virtual void Automate(int hostIndex, float value) = 0;
  // audioMasterUpdateDisplay: names or programs changed inside the plug-in.
  // GUI thread.
  virtual void UpdateDisplay() = 0;
  // Asks the host for idle calls (effIdle), where the GUI side does its work.
  // Any thread (hosted plug-ins ask from theirs).
  virtual void RequestIdle() = 0;
  // Any other call of the host's audio-master callback, passed through as it
  // is. Any thread.
  virtual vst::VstIntPtr CallHost(std::int32_t opcode, std::int32_t index, vst::VstIntPtr value, void* pointer,
                                  float option) {
    return 0;
  }

 protected:
  ~HostServices() = default;
};

}  // namespace kr
