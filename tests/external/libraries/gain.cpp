// A second-interface library with two modules: "Test Gain" (the input times
// its Gain value) and "Test Offset" (the input plus its Offset value).
#include <cstring>

#include "test_library.h"

using namespace kr;

using namespace testlib;

namespace {

struct Module {
  Word words[second::kWords]{};
  int kind = 0;
  float* in = nullptr;
  float amount = 0.0f;
  float* out = nullptr;
};

Word Dispatch(Word* record, std::int32_t opcode, std::int32_t index, Word, void* pointer, float) {
  auto* m = reinterpret_cast<Module*>(record);
  if (opcode != kOpPinProperties) return 0;
  auto* pin = static_cast<PinProperties*>(pointer);
  switch (index) {
    case 0:
      FillPin(pin, &m->in, kIn, kAudio, "Signal In", "0");
      return 1;
    case 1:
      FillPin(pin, &m->amount, kIn, kFloat, m->kind == 0 ? "Gain" : "Offset", m->kind == 0 ? "0.5" : "0");
      return 1;
    case 2:
      FillPin(pin, &m->out, kOut, kAudio, "Signal Out");
      return 1;
    default:
      return 0;
  }
}

void Process(Word object, std::int32_t offset, std::int32_t count) {
  auto* m = reinterpret_cast<Module*>(object);
  for (std::int32_t i = offset; i < offset + count; ++i)
    m->out[i] = m->kind == 0 ? m->in[i] * m->amount : m->in[i] + m->amount;
}

void Event(Word, ModuleEvent*) {}

}  // namespace

KR_LIBRARY_EXPORT std::int32_t getModuleProperties(std::int32_t index, ModuleProperties* properties) {
  if (index > 1) return 0;
  properties->displayName = index == 0 ? "Gain (test)" : "Offset (test)";
  properties->identifier = index == 0 ? "Test Gain" : "Test Offset";
  properties->group = "Test";
  properties->version = 1;
  return 1;
}

KR_LIBRARY_EXPORT Word* makeModule(std::int32_t index, std::int32_t mode, HostCallback, void* context) {
  if (mode != kMakeAudioSide) return nullptr;
  Module* m = NewModule<Module>();
  m->kind = index;
  return SecondRecord(m, context, &Dispatch, &Process, &Event);
}
