// Our own base layer of a VST 2 effect: it owns the AEffect record handed to
// the host, keeps the host settings (sample rate, block size, current
// program), owns the editor, and dispatches the base opcodes (0-24) to
// virtual operations with the defaults hosts expect.
#pragma once

#include <memory>

#include "gui/plugin_editor_interface.h"
#include "vst/vst2.h"

namespace kr {

class AudioEffect {
 public:
  AudioEffect(vst::audioMasterCallback audioMaster, int numPrograms, int numParams);
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  vst::AEffect* getAeffect() { return &cEffect; }
  // The effect object behind a record made by this layer.
  static AudioEffect* FromAeffect(vst::AEffect* effect);

  virtual vst::VstIntPtr dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                    float opt);

  virtual void setParameter(vst::VstInt32 index, float value) {}
  virtual float getParameter(vst::VstInt32 index) { return 0.0f; }
  virtual void process(float** inputs, float** outputs, vst::VstInt32 sampleFrames) {}
  virtual void processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) {}

  virtual void open() {}
  virtual void close() {}
  virtual void setProgram(vst::VstInt32 program) { curProgram = program; }
  virtual vst::VstInt32 getProgram() { return curProgram; }
  virtual void setProgramName(char* name) {}
  virtual void getProgramName(char* name);
  virtual void getParameterLabel(vst::VstInt32 index, char* label);
  virtual void getParameterDisplay(vst::VstInt32 index, char* text);
  virtual void getParameterName(vst::VstInt32 index, char* text);
  virtual float getVu() { return 0.0f; }
  virtual vst::VstInt32 getChunk(void** data, bool isPreset) { return 0; }
  virtual vst::VstInt32 setChunk(void* data, vst::VstInt32 byteSize, bool isPreset) { return 0; }
  virtual void setSampleRate(float rate) { sampleRate = rate; }
  virtual void setBlockSize(vst::VstInt32 size) { blockSize = size; }
  virtual void suspend() {}
  virtual void resume() {}

  float getSampleRate() const { return sampleRate; }
  vst::VstInt32 getBlockSize() const { return blockSize; }
  ShellEditor* getEditor() const { return editor.get(); }
  // Installs (or removes) the editor and sets the editor flag to match.
  void setEditor(std::unique_ptr<ShellEditor> newEditor);

  void setNumPrograms(vst::VstInt32 count);
  void setNumParams(vst::VstInt32 count);
  void setNumInputs(vst::VstInt32 count) { cEffect.numInputs = count; }
  void setNumOutputs(vst::VstInt32 count) { cEffect.numOutputs = count; }
  void setUniqueID(vst::VstInt32 id) { cEffect.uniqueID = id; }
  void setFlag(vst::VstInt32 flag, bool on);
  bool hasFlag(vst::VstInt32 flag) const { return (cEffect.flags & flag) != 0; }
  void programsAreChunks(bool on = true) { setFlag(vst::effFlagsProgramChunks, on); }
  void canProcessReplacing(bool on = true) { setFlag(vst::effFlagsCanReplacing, on); }
  void canMono(bool on = true) { setFlag(vst::effFlagsCanMono, on); }
  void hasVu(bool on = true) { setFlag(vst::effFlagsHasVu, on); }
  void hasClip(bool on = true) { setFlag(vst::effFlagsHasClip, on); }
  void isSynth(bool on = true) { setFlag(vst::effFlagsIsSynth, on); }

  vst::VstInt32 numPrograms() const { return numProgramsField; }
  vst::VstInt32 numParams() const { return numParamsField; }

  // Calls the host; 0 when there is no host callback.
  vst::VstIntPtr callHost(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);

 protected:
  // Removes the editor (destroying it) without touching the flags.
  void deleteEditor() { editor.reset(); }

  float sampleRate = 44100.0f;
  vst::VstInt32 blockSize = 1024;
  vst::VstInt32 curProgram = 0;
  vst::VstInt32 numProgramsField = 0;
  vst::VstInt32 numParamsField = 0;
  vst::audioMasterCallback audioMaster = nullptr;
  std::unique_ptr<ShellEditor> editor;
  vst::AEffect cEffect{};
};

}  // namespace kr
