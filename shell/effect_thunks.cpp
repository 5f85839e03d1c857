#include "shell/effect_thunks.h"

#include <memory>

#include "shell/audio_effect.h"

using namespace vst;

namespace {

VstIntPtr VSTCALLBACK DispatcherThunk(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt) {
  AudioEffect* effect = AudioEffect::FromAeffect(e);
  if (effect == nullptr) return 0;
  if (opcode == effClose) {
    effect->dispatcher(opcode, index, value, ptr, opt);
    std::unique_ptr<AudioEffect> owned(effect);  // the host is done with this instance
    return 1;
  }
  return effect->dispatcher(opcode, index, value, ptr, opt);
}

void VSTCALLBACK ProcessThunk(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (AudioEffect* effect = AudioEffect::FromAeffect(e)) effect->process(inputs, outputs, sampleFrames);
}

void VSTCALLBACK ProcessReplacingThunk(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (AudioEffect* effect = AudioEffect::FromAeffect(e)) effect->processReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK SetParameterThunk(AEffect* e, VstInt32 index, float value) {
  if (AudioEffect* effect = AudioEffect::FromAeffect(e)) effect->setParameter(index, value);
}

float VSTCALLBACK GetParameterThunk(AEffect* e, VstInt32 index) {
  AudioEffect* effect = AudioEffect::FromAeffect(e);
  return effect != nullptr ? effect->getParameter(index) : 0.0f;
}

}  // namespace

void InstallEffectThunks(AEffect& effect) {
  effect.dispatcher = &DispatcherThunk;
  effect.process = &ProcessThunk;
  effect.processReplacing = &ProcessReplacingThunk;
  effect.setParameter = &SetParameterThunk;
  effect.getParameter = &GetParameterThunk;
}
