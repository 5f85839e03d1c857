#include "external/ug_plugin.h"

#include <algorithm>
#include <cstring>

#include "engine/event_pool.h"
#include "external/module_info_plugin.h"
#include "external/object_being_created.h"
#include "platform/platform.h"
#include "registry/plug_declaration.h"

namespace kr {

using modlib::Word;

std::string LibraryText(const char* text, std::size_t limit) {
  if (text == nullptr) return {};
  return std::string(text, strnlen(text, limit));
}

namespace {

// The flags a library may ask for on its objects: how they take part in
// voices and sleeping, nothing of the engine's own bookkeeping.
constexpr std::uint32_t kLibraryObjectFlags =
    UGF_POLYPHONIC | UGF_NEVER_SUSPEND_WITH_VOICE | UGF_NEVER_SUSPEND | UGF_SORT_EARLY;
// Plug-list flags that would make the engine treat a pin as something other
// than one plug bound to the library's variable.
constexpr std::uint32_t kRefusedPinFlags =
    PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT | PF_SUM | PF_GUI | PF_PATCH_VALUE | PF_PATCH_VALUE_IN;
constexpr int kPlaceholderPins = 20;

bool KnownDataType(std::int32_t type) { return (type >= DT_ENUM && type <= DT_FLOAT) || type == DT_INT; }

// The host callbacks handed to the libraries: one per interface, since the
// two keep their back pointer in different words.
template <int kBackPointer>
Word HostCallback(Word* record, std::int32_t opcode, std::int32_t index, Word value, void* pointer, float option) {
  ug_plugin* object = nullptr;
  if (record != nullptr) object = reinterpret_cast<ug_plugin*>(record[kBackPointer]);
  if (object == nullptr || object->Record() != record) object = ObjectBeingCreated();
  if (object == nullptr) return opcode == modlib::kHostVersion ? modlib::kHostVersionNumber : 0;
  return object->HostCall(opcode, index, value, pointer, option);
}

}  // namespace

std::unique_ptr<ug_plugin> ug_plugin::Make(Module_Info_Plugin& entry) {
  std::shared_ptr<ModuleLibrary> library = entry.Library();
  if (!library) return nullptr;
  std::unique_ptr<ug_plugin> object;
  Word* record = nullptr;
  if (library->makeModule != nullptr) {
    object = std::make_unique<ug_plugin2>(&entry, library);
    ObjectBeingCreatedScope creating(object.get());
    record = library->makeModule(entry.moduleIndex, modlib::kMakeAudioSide, &HostCallback<modlib::second::kContext>,
                                 object.get());
  } else if (library->main != nullptr) {
    object = std::make_unique<ug_plugin>(&entry, library);
    ObjectBeingCreatedScope creating(object.get());
    record = library->main(&HostCallback<modlib::first::kAudioObject>);
  } else {
    platform::ShowMessageBox({"Can't load KR Plugin. (dosn't export 'main()' function). (" + entry.libraryPath + ").",
                              {},
                              platform::MessageIcon::Warning});
    return nullptr;
  }
  if (record == nullptr || record[0] != modlib::kModuleMagic) return nullptr;
  object->TakeRecord(record);
  object->flags |= static_cast<std::uint32_t>(entry.extraFlags) & kLibraryObjectFlags;
  return object;
}

ug_plugin::ug_plugin(Module_Info_Plugin* entry, std::shared_ptr<ModuleLibrary> library)
    : ug_plugin(entry, std::move(library), false) {}

ug_plugin::ug_plugin(Module_Info_Plugin* entry, std::shared_ptr<ModuleLibrary> library, bool secondInterface)
    : entry_(entry), library_(std::move(library)), secondInterface_(secondInterface) {}

ug_plugin::~ug_plugin() {
  // The plugs may point at the text values below; they go first.
  while (!plugs.empty()) plugs.pop_back();
}

void ug_plugin::TakeRecord(Word* record) {
  record_ = record;
  record_[modlib::first::kAudioObject] = reinterpret_cast<Word>(this);
  dispatcher_ = reinterpret_cast<modlib::Dispatcher>(record_[modlib::first::kDispatcher]);
  libraryProcess_ = reinterpret_cast<modlib::ProcessFunction>(record_[modlib::first::kProcess]);
  objectWord_ = reinterpret_cast<Word>(record_);
  UseLibraryProcess();
}

void ug_plugin2::TakeRecord(Word* record) {
  record_ = record;
  // The library keeps our context in word 2; one that did not still finds us.
  if (record_[modlib::second::kContext] == 0) record_[modlib::second::kContext] = reinterpret_cast<Word>(this);
  objectWord_ = record_[modlib::second::kObjectWord];
  dispatcher_ = reinterpret_cast<modlib::Dispatcher>(record_[modlib::second::kDispatcher]);
  libraryProcess_ = reinterpret_cast<modlib::ProcessFunction>(record_[modlib::second::kProcess]);
  eventFunction_ = reinterpret_cast<modlib::EventFunction>(record_[modlib::second::kEventFunction]);
  UseLibraryProcess();
}

void ug_plugin2::ReadProcessAgain() {
  if (record_ != nullptr)
    libraryProcess_ = reinterpret_cast<modlib::ProcessFunction>(record_[modlib::second::kProcess]);
}

std::unique_ptr<ug_base> ug_plugin::CreateSame() {
  // Each voice copy is made through the library again; a library that
  // refuses gives a silent copy rather than none.
  if (entry_ != nullptr) {
    if (auto made = Make(*entry_)) return made;
  }
  if (secondInterface_) return std::make_unique<ug_plugin2>(entry_);
  return std::make_unique<ug_plugin>(entry_);
}

Word ug_plugin::Dispatch(std::int32_t opcode, std::int32_t index, Word value, void* pointer, float option) {
  if (record_ == nullptr || dispatcher_ == nullptr) return 0;
  return dispatcher_(record_, opcode, index, value, pointer, option);
}

void ug_plugin::CallLibraryProcess(int offset, int count) {
  if (libraryProcess_ != nullptr) libraryProcess_(objectWord_, offset, count);
}

ug_plugin::TextPin* ug_plugin::TextPinAt(int pin) {
  for (auto& text : textPins_)
    if (text->pin == pin) return text.get();
  return nullptr;
}

void ug_plugin::ListInterface(InterfaceList& list) {
  listingProblem_.clear();
  if (record_ == nullptr) {
    // No library module: placeholders, so that a document's wires survive.
    for (int i = 0; i < kPlaceholderPins; ++i)
      ListPlug(list, PlugDecl<ug_plugin>{.name = "", .direction = DR_CONTAINER_IO, .defaultText = "0", .flags = 0x44});
    return;
  }
  for (int pin = 0;; ++pin) {
    modlib::PinProperties p{};
    if (Dispatch(modlib::kOpPinProperties, pin, 0, &p) == 0) break;
    if (pin == kMaxLibraryPins) {
      listingProblem_ = "more than " + std::to_string(kMaxLibraryPins) + " pins";
      return;
    }
    if (p.direction < DR_IN || p.direction > DR_PARAMETER || p.direction == DR_CONTAINER_IO ||
        !KnownDataType(p.dataType)) {
      listingProblem_ = "pin " + std::to_string(pin) + " of an unknown kind";
      return;
    }
    const auto direction = static_cast<PlugDirection>(p.direction);
    const auto type = static_cast<PlugDataType>(p.dataType);
    std::uint32_t flags = static_cast<std::uint32_t>(p.flags) & ~kRefusedPinFlags;
    void* value = nullptr;
    float** buffer = nullptr;
    switch (type) {
      case DT_AUDIO:
        buffer = static_cast<float**>(p.variable);
        if ((flags & PF_SIGNAL) == 0) flags |= PF_CONTROL;
        break;
      case DT_MIDI:
        break;  // MIDI travels as events and host calls, never through a variable
      case DT_TEXT: {
        TextPin* text = TextPinAt(pin);
        if (text == nullptr) {
          textPins_.push_back(std::make_unique<TextPin>(pin));
          text = textPins_.back().get();
        }
        text->variable = static_cast<const char**>(p.variable);
        value = &text->text;
        break;
      }
      default:
        value = p.variable;
        break;
    }
    list.emplace_back(value, nullptr, LibraryText(p.name), direction, type, LibraryText(p.defaultText),
                      LibraryText(p.listText), flags, std::string(), buffer);
  }
}

ug_plugin::TextPin::TextPin(int pin_) : pin(pin_) {
  text.reserve(UPlug::kTextCapacity);
  for (std::string& copy : copies) copy.reserve(UPlug::kTextCapacity);
}

void ug_plugin::RefreshText(TextPin& pin) {
  pin.current = 1 - pin.current;
  std::string& copy = pin.copies[pin.current];
  copy.assign(pin.text);
  if (pin.variable != nullptr) *pin.variable = copy.c_str();
}

void ug_plugin::Open() {
  ug_base::Open();
  if (record_ == nullptr) return;
  midiInputs_.clear();
  for (auto& plug : plugs)
    if (plug->type == DT_MIDI && plug->IsInput()) midiInputs_.push_back(plug.get());
  for (auto& text : textPins_) RefreshText(*text);
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  Dispatch(modlib::kOpSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  Dispatch(modlib::kOpBlockLength, 0, BlockLength());
  Dispatch(modlib::kOpOpen, 0, 1);
}

void ug_plugin::Close() {
  Dispatch(modlib::kOpClose);
  ug_base::Close();
}

void ug_plugin::RunFor(int count) {
  if (record_ == nullptr) {
    ug_base::RunFor(count);
    return;
  }
  // Every event due in the stretch first, in time order; then one process
  // call for the whole stretch.
  const int end = clock + count;
  while (!events.empty() && events.front()->time < end) {
    ug_event* event = events.PopFront();
    Deliver(event, true);
    EventPool::Free(event);
  }
  if (count > 0) CallLibraryProcess(clock - PeriodStart(), count);
  clock = end;
}

void ug_plugin::HandleEvent(ug_event* event) { Deliver(event, true); }

int ug_plugin::PinIndexOf(const UPlug* plug) const {
  for (std::size_t i = 0; i < plugs.size(); ++i)
    if (plugs[i].get() == plug) return static_cast<int>(i);
  return -1;
}

int ug_plugin::MidiInputNumberOf(const UPlug* plug) const {
  for (std::size_t i = 0; i < midiInputs_.size(); ++i)
    if (midiInputs_[i] == plug) return static_cast<int>(i);
  return -1;
}

void ug_plugin::Deliver(ug_event* event, bool storeValue) {
  modlib::ModuleEvent sent{event->time, event->type, event->value, 0, 0, 0};
  if (event->ref == LibraryEventTag()) {
    // Queued by the library itself (host opcode 19): back as it came.
    sent.index = event->extra;
    SendEvent(sent);
    return;
  }
  switch (event->type) {
    case UET_STAT_CHANGE: {
      if (storeValue) StoreStateChangeValue(event);
      auto* c = static_cast<connector*>(event->ref);
      ug_base::HandleEvent(event);  // the plug's state, as any module keeps it
      const int pin = c != nullptr ? PinIndexOf(c->to) : -1;
      if (pin < 0) return;
      if (TextPin* text = TextPinAt(pin)) RefreshText(*text);
      sent.value = std::max(event->value, 1);
      sent.pinIndex = pin;
      SendEvent(sent);
      return;
    }
    case UET_MIDI: {
      const int number = MidiInputNumberOf(static_cast<const UPlug*>(event->ref));
      if (number < 0) return;
      sent.index = number;
      SendEvent(sent);
      return;
    }
    case UET_SET_PLUG_VALUE: {
      ug_base::HandleEvent(event);
      const int pin = PinIndexOf(static_cast<const UPlug*>(event->ref));
      if (TextPin* text = pin >= 0 ? TextPinAt(pin) : nullptr) RefreshText(*text);
      return;
    }
    default:
      ug_base::HandleEvent(event);
      return;
  }
}

void ug_plugin::SendEvent(modlib::ModuleEvent& event) { Dispatch(modlib::kOpEvent, 0, 0, &event); }

void ug_plugin2::SendEvent(modlib::ModuleEvent& event) {
  if (eventFunction_ != nullptr) eventFunction_(objectWord_, &event);
}

void ug_plugin::Wake() {
  const bool wasSleeping = sleeping;
  ug_base::Wake();
  if (wasSleeping && !sleeping) Dispatch(modlib::kOpWake);
}

void ug_plugin::Resume() {
  const bool wasSuspended = IsSuspended();
  ug_base::Resume();
  if (wasSuspended) Dispatch(modlib::kOpWake);
}

bool ug_plugin::CanSleep() {
  if (!events.empty()) return false;
  return record_ == nullptr || Dispatch(modlib::kOpCanSleep) == 1;
}

}  // namespace kr
