// The extended layer: the opcodes from effProcessEvents (25) on, with the
// defaults of a plug-in that supports none of the optional features.
#pragma once

#include "shell/audio_effect.h"

namespace kr {

class AudioEffectX : public AudioEffect {
 public:
  using AudioEffect::AudioEffect;

  vst::VstIntPtr dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                            float opt) override;

  virtual vst::VstInt32 processEvents(vst::VstEvents* events) { return 0; }
  virtual bool canParameterBeAutomated(vst::VstInt32 index) { return true; }
  virtual bool getProgramNameIndexed(vst::VstInt32 category, vst::VstInt32 index, char* text) { return false; }
  virtual bool copyProgram(vst::VstInt32 destination) { return false; }
  virtual bool getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) { return false; }
  virtual vst::VstPlugCategory getPlugCategory();
  virtual bool getEffectName(char* name) { return false; }
  virtual bool getVendorString(char* text) { return false; }
  virtual bool getProductString(char* text) { return false; }
  virtual vst::VstInt32 getVendorVersion() { return 0; }
  virtual vst::VstInt32 canDo(const char* text) { return 0; }
  virtual vst::VstInt32 fxIdle() { return 0; }
  virtual bool setBlockSizeAndSampleRate(vst::VstInt32 size, float rate);
  virtual vst::VstInt32 getVstVersion() { return 2300; }

  // Host callbacks of the extended interface.
  bool wantEvents(vst::VstInt32 filter = 1) { return callHost(vst::audioMasterWantMidi, 0, filter) != 0; }
  bool needIdle() { return callHost(vst::audioMasterNeedIdle) != 0; }
  bool sendVstEventsToHost(vst::VstEvents* events) {
    return callHost(vst::audioMasterProcessEvents, 0, 0, events) != 0;
  }
  bool updateDisplay() { return callHost(vst::audioMasterUpdateDisplay) != 0; }
};

}  // namespace kr
