// A library that writes down every call Kestrune makes, for the tests of
// the order of calls. Built twice: KR_LOGGER_SECOND gives "Test Logger 2"
// (getModuleProperties and makeModule, and a "main" that must go unused);
// without it, "Test Logger 1" through "main" alone, naming itself only when
// asked with opcodes 5 and 4.
#include "test_library.h"

using namespace kr;

using namespace testlib;

namespace {

struct Module {
  Word words[first::kWords]{};
  float* in = nullptr;
  float level = 0.0f;
  float* out = nullptr;
  const char* name = nullptr;
};

#if defined(KR_LOGGER_SECOND)
constexpr const char* kIdentifier = "Test Logger 2";
#else
constexpr const char* kIdentifier = "Test Logger 1";
#endif

void NoteEvent(const ModuleEvent* e, const Module* m) {
  Note("event %d type %d value %d index %d pin %d", e->time, e->type, e->value, e->index, e->pinIndex);
  if (e->type == 0 && e->pinIndex == 4) Note("name %s", m->name != nullptr ? m->name : "(none)");
}

Word Dispatch(Word* record, std::int32_t opcode, std::int32_t index, Word value, void* pointer, float option) {
  auto* m = reinterpret_cast<Module*>(record);
  switch (opcode) {
    case kOpOpen:
      Note("open %d", static_cast<int>(value));
      return 0;
    case kOpClose:
      Note("close");
      return 0;
    case kOpSampleRate:
      Note("rate %d", static_cast<int>(option));
      return 0;
    case kOpBlockLength:
      Note("block %d", static_cast<int>(value));
      return 0;
    case kOpWake:
      Note("wake");
      return 0;
    case kOpEvent:
      NoteEvent(static_cast<const ModuleEvent*>(pointer), m);
      return 0;
    case kOpIdentifier:
    case kOpDisplayName: {
      // 120 characters and no terminator: Kestrune keeps its 100-byte buffer's last byte.
      char* text = static_cast<char*>(pointer);
      for (int i = 0; i < 99; ++i) text[i] = kIdentifier[i < 13 ? i : 12];
      if (opcode == kOpIdentifier) text[13] = '\0';
      return 0;
    }
    case kOpVersion:
      return 3;
    case kOpPinProperties: {
      auto* pin = static_cast<PinProperties*>(pointer);
      switch (index) {
        case 0:
          FillPin(pin, &m->in, kIn, kAudio, "In", "0");
          return 1;
        case 1:
          FillPin(pin, &m->level, kIn, kFloat, "Level", "1");
          return 1;
        case 2:
          FillPin(pin, nullptr, kIn, kMidi, "MIDI In");
          return 1;
        case 3:
          FillPin(pin, &m->out, kOut, kAudio, "Out");
          return 1;
        case 4:
          FillPin(pin, &m->name, kIn, kText, "Name", "first");
          return 1;
        default:
          return 0;
      }
    }
    default:
      return 0;
  }
}

void Process(Word object, std::int32_t offset, std::int32_t count) {
  auto* m = reinterpret_cast<Module*>(object);
  Note("process %d %d", offset, count);
  for (std::int32_t i = offset; i < offset + count; ++i) m->out[i] = m->in[i] * m->level;
}

#if defined(KR_LOGGER_SECOND)
void Event(Word object, ModuleEvent* e) { NoteEvent(e, reinterpret_cast<Module*>(object)); }
Word* UnusedMain(HostCallback) {
  Note("main called");
  return nullptr;
}
#else
Word* FirstMain(HostCallback) {
  Module* m = NewModule<Module>();
  m->words[first::kMagic] = kModuleMagic;
  m->words[first::kDispatcher] = reinterpret_cast<Word>(&Dispatch);
  m->words[first::kProcess] = reinterpret_cast<Word>(&Process);
  return m->words;
}
#endif

}  // namespace

KR_TEST_LOG_EXPORTS

#if defined(KR_LOGGER_SECOND)
KR_LIBRARY_EXPORT std::int32_t getModuleProperties(std::int32_t index, ModuleProperties* properties) {
  if (index != 0) return 0;
  properties->displayName = "Logger";
  properties->identifier = kIdentifier;
  return 1;
}

KR_LIBRARY_EXPORT Word* makeModule(std::int32_t, std::int32_t mode, HostCallback, void* context) {
  if (mode != kMakeAudioSide) return nullptr;
  return SecondRecord(NewModule<Module>(), context, &Dispatch, &Process, &Event);
}
KR_LIBRARY_MAIN(UnusedMain)
#else
KR_LIBRARY_MAIN(FirstMain)
#endif
