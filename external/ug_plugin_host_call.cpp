// What a library module may ask of Kestrune through the host callback.
// Everything it passes is checked: pin indices against the plug list and
// the pin's kind, times against the module's clock, buffers by their room.
#include <algorithm>
#include <cstring>

#include "document/cug.h"
#include "document/module_file_opener.h"
#include "engine/event_pool.h"
#include "external/module_info_plugin.h"
#include "external/ug_plugin.h"
#include "registry/module_registry.h"

namespace kr {

using modlib::Word;

void* LibraryEventTag() {
  static char tag;
  return &tag;
}

namespace {
constexpr int kAnyType = -1;

// A time the library passes in a pointer-sized word.
int TimeWord(const void* pointer) { return static_cast<int>(reinterpret_cast<std::intptr_t>(pointer)); }

Word RecordOf(ug_base* object) {
  auto* module = dynamic_cast<ug_plugin*>(object);
  return module != nullptr ? reinterpret_cast<Word>(module->Record()) : 0;
}
}  // namespace

UPlug* ug_plugin::PinPlug(std::int32_t index, PlugDataType type) const {
  if (index < 0 || index >= PlugCount()) return nullptr;
  UPlug* plug = plugs[static_cast<std::size_t>(index)].get();
  return static_cast<int>(type) == kAnyType || plug->type == type ? plug : nullptr;
}

void ug_plugin::SetText(int pin, const char* text, bool announce) {
  UPlug* plug = PinPlug(pin, DT_TEXT);
  TextPin* textPin = TextPinAt(pin);
  if (plug == nullptr || textPin == nullptr || plug->data != &textPin->text) return;
  // Into the reserved value: no allocation on the audio thread.
  if (text != nullptr)
    textPin->text.assign(text, strnlen(text, UPlug::kTextCapacity));
  else
    textPin->text.clear();
  RefreshText(*textPin);
  if (announce) plug->SetState(clock, ST_STATIC);
}

Word ug_plugin::HostCall(std::int32_t opcode, std::int32_t index, Word value, void* pointer, float option) {
  const auto any = static_cast<PlugDataType>(kAnyType);
  switch (opcode) {
    case modlib::kHostSetPinState: {
      UPlug* plug = PinPlug(index, any);
      const int time = TimeWord(pointer);
      if (plug == nullptr || time < clock) return 0;
      plug->SetState(time, static_cast<PlugState>(std::clamp<Word>(value, ST_STOP, ST_RUN)));
      return 0;
    }
    case modlib::kHostIsConnected: {
      const UPlug* plug = PinPlug(index, any);
      return plug != nullptr && plug->HasConnection() ? 1 : 0;
    }
    case modlib::kHostSetText:
      SetText(index, reinterpret_cast<const char*>(value), false);
      return 0;
    case modlib::kHostClock:
      return clock;
    case modlib::kHostSendMidi: {
      UPlug* plug = PinPlug(index, DT_MIDI);
      if (plug == nullptr || plug->direction != DR_OUT) return 0;
      plug->SendMidi(std::max(TimeWord(pointer), clock), static_cast<std::uint32_t>(value));
      plug->WakeReceivers();
      return 0;
    }
    case modlib::kHostAudioInputs:
      return audioInCount;
    case modlib::kHostAudioOutputs:
      return audioOutCount;
    case modlib::kHostSampleBuffer: {
      UPlug* plug = PinPlug(index, DT_AUDIO);
      return plug != nullptr ? reinterpret_cast<Word>(plug->GetSampleBuffer()) : 0;
    }
    case modlib::kHostPeriodStart:
      return PeriodStart();
    case modlib::kHostTimeInfo: {
      if (audioMaster == nullptr) return 0;
      const auto info = audioMaster->GetTimeInfo(static_cast<std::int32_t>(value));
      if (!info) return 0;
      timeInfo_ = *info;
      return reinterpret_cast<Word>(&timeInfo_);
    }
    case modlib::kHostSleep:
      GoToSleep();
      return 1;
    case modlib::kHostFirstVoiceRecord: {
      if (pointer == nullptr) return 0;
      ug_base* first = docModule != nullptr && docModule->AudioObject() != nullptr ? docModule->AudioObject() : this;
      const Word record = RecordOf(first);
      *static_cast<Word*>(pointer) = record != 0 ? record : reinterpret_cast<Word>(record_);
      return 1;
    }
    case modlib::kHostNextVoiceRecord:
      if (pointer == nullptr) return 0;
      *static_cast<Word*>(pointer) = RecordOf(nextClone);
      return 1;
    case modlib::kHostPlugCount:
      return PlugCount();
    case modlib::kHostFileName: {
      const UPlug* plug = PinPlug(index, DT_TEXT);
      if (plug == nullptr || pointer == nullptr || value <= 0 || entry_ == nullptr) return 0;
      const auto& definitions = entry_->plugs;
      const std::string extension = static_cast<std::size_t>(index) < definitions.size()
                                        ? definitions[static_cast<std::size_t>(index)].listText
                                        : std::string();
      const std::string path =
          ResolveModuleFileName(*static_cast<const std::string*>(plug->data), extension,
                                [](std::string_view e) { return ModuleRegistry::Get().DefaultDirectory(e); });
      // value counts the characters the buffer holds, the terminator among them.
      const std::size_t n = std::min(path.size(), static_cast<std::size_t>(value) - 1);
      std::memcpy(pointer, path.data(), n);
      static_cast<char*>(pointer)[n] = '\0';
      return static_cast<Word>(n);
    }
    case modlib::kHostCallHost: {
      // Five words: the host call's opcode, index, value, pointer and option.
      if (pointer == nullptr || audioMaster == nullptr) return 0;
      const Word* words = static_cast<const Word*>(pointer);
      float passedOption = 0.0f;
      std::memcpy(&passedOption, &words[4], sizeof passedOption);
      return audioMaster->Host().CallHost(static_cast<std::int32_t>(words[0]), static_cast<std::int32_t>(words[1]),
                                          words[2], reinterpret_cast<void*>(words[3]), passedOption);
    }
    case modlib::kHostHandle:
      return handle;
    case modlib::kHostQueueEvent: {
      if (pointer == nullptr) return 0;
      const Word* words = static_cast<const Word*>(pointer);
      ug_event* event =
          NewEvent(std::max(static_cast<int>(words[0]), clock), static_cast<std::int32_t>(words[1]),
                   static_cast<std::int32_t>(words[2]), LibraryEventTag(), static_cast<std::int32_t>(words[3]));
      if (event == nullptr) return 0;
      AddEvent(event, true);
      return 1;
    }
    case modlib::kHostSetTextOutput:
      SetText(index, reinterpret_cast<const char*>(value), true);
      return 0;
    case modlib::kHostReadProcess:
      if (auto* second = dynamic_cast<ug_plugin2*>(this)) second->ReadProcessAgain();
      return 0;
    case modlib::kHostVersion:
      return modlib::kHostVersionNumber;
    default:
      // Unknown operations, and those this program does not offer a library
      // (messages to a GUI side, shared tables), answer 0.
      return 0;
  }
}

}  // namespace kr
