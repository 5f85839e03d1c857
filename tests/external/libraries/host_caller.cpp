// "Test Host Caller": a second-interface module that asks Kestrune's host
// callback everything it can at its first process call (bad pin indices
// and short buffers among it) and writes the answers down.
#include <cstring>

#include "test_library.h"

using namespace kr;

using namespace testlib;

namespace {

struct Module {
  Word words[second::kWords]{};
  HostCallback host = nullptr;
  float* in = nullptr;
  float* out = nullptr;
  const char* status = nullptr;
  const char* file = nullptr;
  bool asked = false;
};

Word Ask(Module* m, std::int32_t opcode, std::int32_t index = 0, Word value = 0, void* pointer = nullptr) {
  return m->host(m->words, opcode, index, value, pointer, 0.0f);
}

Word Dispatch(Word* record, std::int32_t opcode, std::int32_t index, Word, void* pointer, float) {
  auto* m = reinterpret_cast<Module*>(record);
  if (opcode != kOpPinProperties) return 0;
  auto* pin = static_cast<PinProperties*>(pointer);
  switch (index) {
    case 0:
      FillPin(pin, &m->in, kIn, kAudio, "In", "0");
      return 1;
    case 1:
      FillPin(pin, &m->out, kOut, kAudio, "Out");
      return 1;
    case 2:
      FillPin(pin, &m->status, kOut, kText, "Status");
      return 1;
    case 3:
      FillPin(pin, &m->file, kIn, kText, "File", "take", 0x10, "wav");
      return 1;
    case 4:
      FillPin(pin, nullptr, kOut, kMidi, "MIDI Out");
      return 1;
    default:
      return 0;
  }
}

void AskEverything(Module* m) {
  const Word clock = Ask(m, kHostClock);
  Note("version %ld", static_cast<long>(Ask(m, kHostVersion)));
  Note("unknown %ld", static_cast<long>(Ask(m, 99)));
  Word versionCall[5] = {1, 0, 0, 0, 0};  // audioMasterVersion, passed to the VST host
  Note("host version %ld", static_cast<long>(Ask(m, kHostCallHost, 0, 0, versionCall)));
  Note("clock is period start %d", clock == Ask(m, kHostPeriodStart));
  Note("audio %ld in %ld out, %ld plugs", static_cast<long>(Ask(m, kHostAudioInputs)),
       static_cast<long>(Ask(m, kHostAudioOutputs)), static_cast<long>(Ask(m, kHostPlugCount)));
  Note("out connected %ld, bad pin connected %ld", static_cast<long>(Ask(m, kHostIsConnected, 1)),
       static_cast<long>(Ask(m, kHostIsConnected, -1)));
  Note("out buffer is mine %d, bad pin buffer %ld", reinterpret_cast<float*>(Ask(m, kHostSampleBuffer, 1)) == m->out,
       static_cast<long>(Ask(m, kHostSampleBuffer, 99)));
  Ask(m, kHostSetPinState, 99, 2, reinterpret_cast<void*>(clock));  // ignored
  Ask(m, kHostSetTextOutput, 2, reinterpret_cast<Word>("ready"));
  Note("status %s", m->status != nullptr ? m->status : "(none)");
  Ask(m, kHostSetText, 0, reinterpret_cast<Word>("not a text pin"));  // ignored
  char small[8];
  std::memset(small, 'x', sizeof small);
  const Word written = Ask(m, kHostFileName, 3, sizeof small, small);
  Note("file name %ld characters, terminated %d", static_cast<long>(written), small[7] == '\0');
  Note("file name to a text-less pin %ld", static_cast<long>(Ask(m, kHostFileName, 1, sizeof small, small)));
  Word first = 0;
  Word next = -1;
  Ask(m, kHostFirstVoiceRecord, 0, 0, &first);
  Ask(m, kHostNextVoiceRecord, 0, 0, &next);
  Note("first voice is me %d, next voice %ld", first == reinterpret_cast<Word>(m->words), static_cast<long>(next));
  Word queued[5] = {clock + 5, 42, 7, 3, 0};
  Note("queued %ld", static_cast<long>(Ask(m, kHostQueueEvent, 0, 0, queued)));
  Ask(m, kHostSendMidi, 4, 0x403C90, reinterpret_cast<void*>(clock));
  Ask(m, kHostSendMidi, 0, 0x403C90, reinterpret_cast<void*>(clock));  // not a MIDI pin: ignored
}

void Process(Word object, std::int32_t offset, std::int32_t count) {
  auto* m = reinterpret_cast<Module*>(object);
  if (!m->asked) {
    m->asked = true;
    AskEverything(m);
  }
  for (std::int32_t i = offset; i < offset + count; ++i) m->out[i] = m->in[i];
}

void Event(Word, ModuleEvent* e) {
  if (e->type == 42) Note("own event at %d value %d index %d", e->time, e->value, e->index);
}

}  // namespace

KR_TEST_LOG_EXPORTS

KR_LIBRARY_EXPORT Word* makeModule(std::int32_t, std::int32_t mode, HostCallback host, void* context) {
  if (mode != kMakeAudioSide) return nullptr;
  Module* m = NewModule<Module>();
  m->host = host;
  // Asked before the record says who it is: Kestrune knows the object being made.
  Note("version while made %ld", static_cast<long>(host(m->words, kHostVersion, 0, 0, nullptr, 0.0f)));
  Note("plugs while made %ld", static_cast<long>(host(m->words, kHostPlugCount, 0, 0, nullptr, 0.0f)));
  return SecondRecord(m, context, &Dispatch, &Process, &Event);
}

KR_LIBRARY_EXPORT std::int32_t getModuleProperties(std::int32_t index, ModuleProperties* properties) {
  if (index != 0) return 0;
  properties->identifier = "Test Host Caller";
  return 1;
}
