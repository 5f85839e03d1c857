// A plug-in for end-to-end tests of kestrune render, built as its own shared
// library: two outputs, a click of velocity / 127 at the sample of every note
// on in the first, the same click negated in the second.
#include <cstddef>
#include <memory>
#include <vector>

#include "vst/vst2.h"

using namespace kr;

using namespace vst;

namespace {

struct Click {
  AEffect effect{};
  std::vector<VstMidiEvent> pending;
};

VstIntPtr VSTCALLBACK Dispatch(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  auto* self = static_cast<Click*>(e->object);
  if (opcode == effProcessEvents && ptr != nullptr) {
    const auto* list = static_cast<const VstEvents*>(ptr);
    auto* const* slots =
        reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(list) + offsetof(VstEvents, events));
    for (VstInt32 i = 0; i < list->numEvents; ++i)
      if (slots[i]->type == kVstMidiType) self->pending.push_back(*reinterpret_cast<VstMidiEvent*>(slots[i]));
    return 1;
  }
  if (opcode == effClose) {
    std::unique_ptr<Click> gone(self);  // the plug-in owns itself, as VST 2 plug-ins do
    return 1;
  }
  return 0;
}

void VSTCALLBACK Process(AEffect* e, float**, float** outputs, VstInt32 frames) {
  auto* self = static_cast<Click*>(e->object);
  for (VstInt32 i = 0; i < frames; ++i) outputs[0][i] = outputs[1][i] = 0.0f;
  for (const VstMidiEvent& m : self->pending) {
    if ((static_cast<unsigned char>(m.midiData[0]) & 0xF0) != 0x90 || m.midiData[2] == 0) continue;
    if (m.deltaFrames < 0 || m.deltaFrames >= frames) continue;
    outputs[0][m.deltaFrames] += static_cast<float>(m.midiData[2]) / 127.0f;
    outputs[1][m.deltaFrames] -= static_cast<float>(m.midiData[2]) / 127.0f;
  }
  self->pending.clear();
}

}  // namespace

// Only the entry is exported (a DLL would otherwise export every symbol).
#if defined(_WIN32)
#define KR_CLICK_EXPORT __declspec(dllexport)
#else
#define KR_CLICK_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KR_CLICK_EXPORT AEffect* VSTPluginMain(audioMasterCallback master) {
  if (master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  Click* self = std::make_unique<Click>().release();  // freed at effClose
  self->effect.magic = kEffectMagic;
  self->effect.object = self;
  self->effect.dispatcher = &Dispatch;
  self->effect.processReplacing = &Process;
  self->effect.numOutputs = 2;
  self->effect.flags = effFlagsIsSynth | effFlagsCanReplacing;
  return &self->effect;
}
