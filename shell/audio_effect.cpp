#include "shell/audio_effect.h"

#include "shell/effect_thunks.h"

namespace kr {

using namespace vst;

AudioEffect::AudioEffect(audioMasterCallback master, int numPrograms, int numParams)
    : numProgramsField(numPrograms), numParamsField(numParams), audioMaster(master) {
  cEffect.magic = kEffectMagic;
  cEffect.numPrograms = numPrograms;
  cEffect.numParams = numParams;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = CCONST('N', 'o', 'E', 'f');
  cEffect.version = 1;
  InstallEffectThunks(cEffect);
}

AudioEffect::~AudioEffect() = default;

AudioEffect* AudioEffect::FromAeffect(AEffect* effect) {
  return effect != nullptr ? static_cast<AudioEffect*>(effect->object) : nullptr;
}

void AudioEffect::setEditor(std::unique_ptr<ShellEditor> newEditor) {
  editor = std::move(newEditor);
  setFlag(effFlagsHasEditor, editor != nullptr);
}

void AudioEffect::setNumPrograms(VstInt32 count) { numProgramsField = cEffect.numPrograms = count; }
void AudioEffect::setNumParams(VstInt32 count) { numParamsField = cEffect.numParams = count; }

void AudioEffect::setFlag(VstInt32 flag, bool on) {
  if (on)
    cEffect.flags |= flag;
  else
    cEffect.flags &= ~flag;
}

void AudioEffect::getProgramName(char* name) {
  if (name != nullptr) *name = '\0';
}
void AudioEffect::getParameterLabel(VstInt32, char* label) {
  if (label != nullptr) *label = '\0';
}
void AudioEffect::getParameterDisplay(VstInt32, char* text) {
  if (text != nullptr) *text = '\0';
}
void AudioEffect::getParameterName(VstInt32, char* text) {
  if (text != nullptr) *text = '\0';
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return audioMaster != nullptr ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case effOpen:
      open();
      return 0;
    case effClose:
      close();
      return 0;
    case effSetProgram:
      // Programs exist for 0 .. count - 1; anything else (negative too) is ignored.
      if (value >= 0 && value < numProgramsField) setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram:
      return getProgram();
    case effSetProgramName:
      setProgramName(static_cast<char*>(ptr));
      return 0;
    case effGetProgramName:
      getProgramName(static_cast<char*>(ptr));
      return 0;
    case effGetParamLabel:
      getParameterLabel(index, static_cast<char*>(ptr));
      return 0;
    case effGetParamDisplay:
      getParameterDisplay(index, static_cast<char*>(ptr));
      return 0;
    case effGetParamName:
      getParameterName(index, static_cast<char*>(ptr));
      return 0;
    case effGetVu:
      return static_cast<VstIntPtr>(getVu() * 32767.0f);
    case effSetSampleRate:
      setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (value != 0)
        resume();
      else
        suspend();
      return 0;
    case effEditGetRect:
      return editor ? editor->GetRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen:
      return editor ? editor->Open(ptr) : 0;
    case effEditClose:
      if (editor) editor->Close();
      return 0;
    case effEditIdle:
      if (editor) editor->Idle();
      return 0;
    case effIdentify:
      return CCONST('N', 'v', 'E', 'f');
    case effGetChunk:
      return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
      return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
      return 0;
  }
}

}  // namespace kr
