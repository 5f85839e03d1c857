#include "shell/effect_thunks.h"

#include <memory>

#include "base/denormals.h"
#include "shell/audio_effect.h"

namespace kr {

using namespace vst;

namespace {

// Nothing thrown may cross into the host: every entry catches everything and
// answers as for a call it cannot serve.

VstIntPtr VSTCALLBACK DispatcherThunk(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt) {
  AudioEffect* effect = AudioEffect::FromAeffect(e);
  if (effect == nullptr) return 0;
  if (opcode == effClose) {
    std::unique_ptr<AudioEffect> owned(effect);  // the host is done with this instance, whatever happens
    try {
      effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
    }
    try {
      owned.reset();
    } catch (...) {
    }
    return 1;
  }
  try {
    return effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

void VSTCALLBACK ProcessThunk(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  [[maybe_unused]] kr::ScopedFlushDenormals denormals;
  try {
    if (AudioEffect* effect = AudioEffect::FromAeffect(e)) effect->process(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void VSTCALLBACK ProcessReplacingThunk(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  [[maybe_unused]] kr::ScopedFlushDenormals denormals;
  try {
    if (AudioEffect* effect = AudioEffect::FromAeffect(e)) effect->processReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void VSTCALLBACK SetParameterThunk(AEffect* e, VstInt32 index, float value) {
  try {
    if (AudioEffect* effect = AudioEffect::FromAeffect(e)) effect->setParameter(index, value);
  } catch (...) {
  }
}

float VSTCALLBACK GetParameterThunk(AEffect* e, VstInt32 index) {
  try {
    AudioEffect* effect = AudioEffect::FromAeffect(e);
    return effect != nullptr ? effect->getParameter(index) : 0.0f;
  } catch (...) {
    return 0.0f;
  }
}

}  // namespace

void InstallEffectThunks(AEffect& effect) {
  effect.dispatcher = &DispatcherThunk;
  effect.process = &ProcessThunk;
  effect.processReplacing = &ProcessReplacingThunk;
  effect.setParameter = &SetParameterThunk;
  effect.getParameter = &GetParameterThunk;
}

}  // namespace kr
