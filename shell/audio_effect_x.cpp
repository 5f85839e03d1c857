#include "shell/audio_effect_x.h"

namespace kr {

using namespace vst;

VstPlugCategory AudioEffectX::getPlugCategory() {
  return hasFlag(effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::setBlockSizeAndSampleRate(VstInt32 size, float rate) {
  blockSize = size;
  sampleRate = rate;
  return true;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case effProcessEvents:
      return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
      return canParameterBeAutomated(index) ? 1 : 0;
    case effGetNumProgramCategories:
      return 1;
    case effGetProgramNameIndexed:
      return getProgramNameIndexed(static_cast<VstInt32>(value), index, static_cast<char*>(ptr)) ? 1 : 0;
    case effCopyProgram:
      return copyProgram(index) ? 1 : 0;
    case effConnectInput:
    case effConnectOutput:
      return 1;
    case effGetOutputProperties:
      return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetPlugCategory:
      return getPlugCategory();
    case effSetBlockSizeAndSampleRate:
      return setBlockSizeAndSampleRate(static_cast<VstInt32>(value), opt) ? 1 : 0;
    case effGetEffectName:
      return getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetVendorString:
      return getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetProductString:
      return getProductString(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetVendorVersion:
      return getVendorVersion();
    case effCanDo:
      return ptr != nullptr ? canDo(static_cast<const char*>(ptr)) : 0;
    case effIdle:
      return fxIdle();
    case effKeysRequired:
      return 1;  // the opcode's sense is inverted: 1 means keys are not required
    case effGetVstVersion:
      return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
      if (!editor) return 0;
      VstKeyCode key{};
      key.character = index;
      key.virt = static_cast<unsigned char>(value);
      // NaN or a huge float from the host must not reach the integer conversion.
      key.modifier = static_cast<unsigned char>(opt > -1.0e9f && opt < 1.0e9f ? static_cast<int>(opt) : 0);
      return opcode == effEditKeyDown ? editor->OnKeyDown(key) : editor->OnKeyUp(key);
    }
    case effSetEditKnobMode:
      return editor ? editor->SetKnobMode(static_cast<int>(value)) : 0;
    case effGetCurrentMidiProgram:
      return -1;
    case effGetSpeakerArrangement:
      if (value != 0) *reinterpret_cast<void**>(value) = nullptr;
      if (ptr != nullptr) *static_cast<void**>(ptr) = nullptr;
      return 0;
    case effSetTotalSampleToProcess:
      return value;
    default:
      if (opcode >= effProcessEvents && opcode <= effBeginLoadProgram) return 0;
      return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

}  // namespace kr
