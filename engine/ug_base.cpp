#include "engine/ug_base.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <typeinfo>

#if defined(__GNUG__)
#include <cxxabi.h>
#endif

#include "engine/audio_master.h"
#include "engine/container_hooks.h"
#include "engine/event_pool.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"

namespace kr {

ug_base::ug_base() = default;

ug_base::~ug_base() {
  if (audioMaster != nullptr && audioMaster != static_cast<EventProcessor*>(this)) audioMaster->Remove(this);
  ClearEvents();
  // Plugs go last to first, each taking its wires off both ends.
  while (!plugs.empty()) plugs.pop_back();
}

void ug_base::Wake() {
  if (!sleeping) return;
  sleeping = false;
  // A suspended module rejoins only through Resume.
  if (!IsSuspended() && audioMaster != nullptr) audioMaster->Insert(this);
}

void ug_base::RunFor(int count) {
  // Most calls find no event due before the end of the stretch (a module
  // may hold one for later, such as a filter's next settle check): one
  // process call, with no more set-up than that. The stretches between
  // events are cut out of line.
  if (!events.empty() && events.front()->time < clock + count) {
    RunWithEvents(count);
    return;
  }
  const int start = clock;
  if (count > 0) (this->*process)(start - PeriodStart(), count);
  clock = start + count;
}

void ug_base::RunWithEvents(int count) {
  const int end = clock + count;
  int offset = clock - PeriodStart();
  while (!events.empty()) {
    int due = events.front()->time;
    if (due >= end) break;
    if (due < clock) due = clock;  // never run a negative stretch
    if (const int stretch = due - clock; stretch > 0) {
      (this->*process)(offset, stretch);
      offset += stretch;
      clock = due;
    }
    // Every value of this instant lands before any handler runs.
    int batch = 0;
    for (ug_event* e = events.front(); e != nullptr && e->time <= clock; e = e->next, ++batch)
      if (e->type == UET_STAT_CHANGE) StoreStateChangeValue(e);
    while (batch-- > 0 && !events.empty() && events.front()->time <= clock) {
      ug_event* e = events.PopFront();
      HandleEvent(e);
      EventPool::Free(e);
    }
  }
  if (const int rest = end - clock; rest > 0) (this->*process)(offset, rest);
  clock = end;
}

void ug_base::StoreStateChangeValue(ug_event* event) {
  auto* c = static_cast<connector*>(event->ref);
  if (c == nullptr || c->to == nullptr) return;
  UPlug* input = c->to;
  switch (input->type) {
    case DT_ENUM:
    case DT_BOOL:
    case DT_FLOAT:
    case DT_INT:
      input->StoreSnapshot(event->extra);
      break;
    case DT_TEXT:
    case DT_DOUBLE:
      if (!input->IsSumming() && c->from != nullptr) input->CopyValueFrom(*c->from);
      break;
    default:
      break;
  }
}

void ug_base::OnUiNotify(int kind, int value) {
  if (kind != 1) return;
  for (auto& plug : plugs) {
    if (plug->direction == DR_OUT && (plug->flags & UPF_VALUE_CHANGED) != 0) {
      plug->SetState(clock, ST_STATIC);
      plug->flags &= ~UPF_VALUE_CHANGED;
    }
  }
}

void ug_base::HandleEvent(ug_event* event) {
  switch (event->type) {
    case UET_STAT_CHANGE: {
      auto* c = static_cast<connector*>(event->ref);
      const auto state = static_cast<PlugState>(event->value);
      if (c != nullptr && c->to != nullptr) c->to->state = state;
      OnPlugStateChange(event->time, c, state);
      if (state == ST_STATIC && c != nullptr && c->to != nullptr) c->to->state = ST_STOP;
      break;
    }
    case UET_UI_NOTIFY:
      OnUiNotify(event->value, event->extra);
      break;
    case UET_SET_PLUG_VALUE: {
      auto* plug = static_cast<UPlug*>(event->ref);
      if (plug == nullptr) break;
      if (plug->data != nullptr) {
        switch (plug->type) {
          case DT_ENUM:
            plug->EnumValue() = static_cast<std::int16_t>(event->extra);
            break;
          case DT_TEXT:
            if (event->attached != nullptr) plug->TextValue().assign(*event->attached);
            break;
          case DT_BOOL:
            plug->BoolValue() = event->extra != 0;
            break;
          case DT_FLOAT:
            plug->FloatValue() = std::bit_cast<float>(event->extra);
            break;
          default:
            break;  // other types only signal
        }
      }
      plug->SetState(event->time, ST_STATIC);
      break;
    }
    case UET_CALL:
      if (event->call != nullptr) event->call(*this);
      break;
    default:
      break;
  }
}

void ug_base::Suspend() {
  if ((flags & UGF_NEVER_SUSPEND) != 0) return;
  if (audioMaster != nullptr) audioMaster->Remove(this);
  flags |= UGF_SUSPENDED;
}

void ug_base::Resume() {
  if ((flags & UGF_SUSPENDED) == 0) return;
  flags &= ~UGF_SUSPENDED;
  if (!sleeping) {
    if (audioMaster != nullptr) audioMaster->Insert(this);
  } else if (!events.empty()) {
    Wake();
  }
  if (settleCount > 0) settleCount = BlockLength();
}

void ug_base::QueueMidi(int time, std::uint32_t message, UPlug* input) {
  AddEvent(NewEvent(time, UET_MIDI, static_cast<std::int32_t>(message), input), true);
}

void ug_base::QueueStateChange(int time, connector* c, PlugState state) {
  ug_event* event = NewEvent(time, UET_STAT_CHANGE, state, c, c != nullptr && c->from ? c->from->ValueSnapshot() : 0);
  if (event == nullptr) return;
  if (!IsSuspended()) {
    AddEvent(event, true);
    return;
  }
  // Suspended: of the stale changes for this wire keep only the latest, so a
  // long-suspended voice does not pile up events.
  const int period = PeriodStart();
  ug_event* latest = nullptr;
  for (ug_event* e = events.front(); e != nullptr;) {
    ug_event* next = e->next;
    if (e->type == UET_STAT_CHANGE && e->ref == c && e->time < period) {
      if (latest != nullptr) {
        events.Unlink(latest);
        EventPool::Free(latest);
      }
      latest = e;
    }
    e = next;
  }
  AddEvent(event, false);
}

void ug_base::Open() {
  settleCount = BlockLength();
  if (audioMaster != nullptr) audioMaster->Insert(this);
  for (auto& plug : plugs)
    if (plug->binding != nullptr) *plug->binding = plug->GetSampleBuffer();
  for (auto& plug : plugs) {
    if (!plug->IsInput()) continue;
    for (std::size_t i = 0; i < plug->connections.size(); ++i) {
      connector* c = plug->connections[i];
      if (c->to != plug.get() || c->from == nullptr) continue;
      if (plug->type != DT_AUDIO && plug->type != DT_MIDI && !plug->IsSumming()) plug->CopyValueFrom(*c->from);
      const PlugState state = c->from->state > ST_STATIC ? c->from->state : ST_STATIC;
      QueueStateChange(clock, c, state);
    }
  }
  flags |= UGF_OPEN;
}

void ug_base::Close() { flags &= ~UGF_OPEN; }

void ug_base::OnGuiMessage(std::int32_t id, my_input_stream& stream) {
  if (id == kMsgNotify && audioMaster != nullptr) audioMaster->HandleNotify(stream);
}

bool ug_base::HasMarkedInput() {
  for (auto& plug : plugs)
    if (plug->IsInput() && (plug->flags & UPF_VOICE) != 0 && (plug->flags & UPF_CONTROL_INPUT) != 0) return true;
  return false;
}

void ug_base::MarkDownstream() {
  if ((flags & (UGF_DOWN_MARK | UGF_NO_MARKING)) != 0) return;
  flags |= UGF_DOWN_MARK;
  for (auto it = plugs.rbegin(); it != plugs.rend(); ++it) {
    UPlug* plug = it->get();
    if (plug->direction != DR_OUT) continue;
    for (std::size_t i = 0; i < plug->connections.size(); ++i) {
      connector* c = plug->connections[i];
      if (c->from != plug || c->to == nullptr) continue;
      c->to->flags |= UPF_VOICE;
      if (c->to->owner != nullptr) c->to->owner->MarkDownstream();
    }
  }
}

void ug_base::MarkUpstream() {
  if ((flags & UGF_DOWN_MARK) == 0 || (flags & UGF_UP_MARK) != 0) return;
  flags |= UGF_UP_MARK;
  for (auto& plug : plugs) {
    if (!plug->IsInput()) continue;
    for (std::size_t i = 0; i < plug->connections.size(); ++i) {
      connector* c = plug->connections[i];
      if (c->to == plug.get() && c->from != nullptr && c->from->owner != nullptr) c->from->owner->MarkUpstream();
    }
  }
}

namespace {
// The voice-tag rule: an unset tag takes the new one, a different tag
// conflicts (0). Returns whether the tag changed.
bool ApplyVoiceTag(ug_base& module, int tag) {
  if ((module.flags & UGF_NO_MARKING) != 0 || module.voiceTag == tag) return false;
  const int next = module.voiceTag == -1 ? tag : 0;
  if (next == module.voiceTag) return false;
  module.voiceTag = next;
  return true;
}
}  // namespace

void ug_base::PropagateVoiceDown(int tag) {
  if (!ApplyVoiceTag(*this, tag)) return;
  for (auto& plug : plugs) {
    if (plug->direction != DR_OUT) continue;
    for (std::size_t i = 0; i < plug->connections.size(); ++i) {
      connector* c = plug->connections[i];
      if (c->from != plug.get() || c->to == nullptr || c->to->owner == nullptr) continue;
      if (c->to->owner->container == container) c->to->owner->PropagateVoiceDown(tag);
    }
  }
}

void ug_base::PropagateVoiceUp(int tag) {
  if (!ApplyVoiceTag(*this, tag)) return;
  for (auto& plug : plugs) {
    if (!plug->IsInput()) continue;
    for (std::size_t i = 0; i < plug->connections.size(); ++i) {
      connector* c = plug->connections[i];
      if (c->to == plug.get() && c->from != nullptr && c->from->owner != nullptr) c->from->owner->PropagateVoiceUp(tag);
    }
  }
}

void ug_base::AllocatePlugData() {
  audioInCount = 0;
  audioOutCount = 0;
  for (auto it = plugs.rbegin(); it != plugs.rend(); ++it) {
    UPlug* plug = it->get();
    if (plug->type == DT_AUDIO) {
      plug->AllocateData();
      if (plug->direction == DR_IN) ++audioInCount;
      if (plug->direction == DR_OUT) ++audioOutCount;
    } else if (plug->data == nullptr) {
      plug->AllocateData();  // an unbound plug still needs somewhere to keep its value
    }
    // Room for a new text before the audio thread stores one.
    if (plug->type == DT_TEXT && plug->data != nullptr) plug->TextValue().reserve(UPlug::kTextCapacity);
  }
}

void ug_base::ContainerHook(int code) {
  if (container != nullptr) container->ModuleHook(*this, code);
}

void ug_base::CreatePlugs() {
  InterfaceList list;
  ListInterface(list);
  for (const InterfaceObject& record : list) {
    if ((record.flags & (PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT)) != 0) continue;
    AddPlug(std::make_unique<UPlug>(this, record));
  }
}

UPlug* ug_base::AddPlug(std::unique_ptr<UPlug> plug) {
  plug->owner = this;
  plugs.push_back(std::move(plug));
  return plugs.back().get();
}

UPlug* ug_base::GetPlug(int index) {
  if (index < 0 || index >= PlugCount())
    throw std::invalid_argument("plug index " + std::to_string(index) + " out of range in " + DisplayName());
  return plugs[static_cast<std::size_t>(index)].get();
}

std::string ug_base::ClassName() const {
  std::string name = typeid(*this).name();
#if defined(__GNUG__)
  int status = 0;
  char* demangled = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
  if (status == 0 && demangled != nullptr) name = demangled;
  std::free(demangled);
#endif
  constexpr std::string_view kPrefix = "class ";
  if (name.starts_with(kPrefix)) name.erase(0, kPrefix.size());
  return name;
}

std::string ug_base::DisplayName() const { return title.empty() ? ClassName() : title; }

namespace {
constexpr std::size_t kMessageChars = 8192;
}  // namespace

void ug_base::MessageBox(std::string_view text) {
  // Put together on the stack: modules call this on the audio thread, where
  // nothing is allocated (a module without a title names its class, made here).
  std::array<char, kMessageChars> message;  // longer texts are cut
  std::size_t n = 0;
  const auto put = [&](std::string_view piece) {
    const std::size_t k = std::min(piece.size(), message.size() - n);
    std::memcpy(message.data() + n, piece.data(), k);
    n += k;
  };
  if (!title.empty())
    put(title);
  else
    put(ClassName());
  put(" : ");
  put(text);
  if (audioMaster != nullptr) audioMaster->MessageBox(std::string_view(message.data(), n));
}

void ug_base::PostNotify(int kind, int value) {
  if (audioMaster != nullptr) {
    audioMaster->PostNotify(*this, kind, value);
  } else {
    OnUiNotify(kind, value);
  }
}

void ug_base::QueueProgramChange(int time, int value) { AddEvent(NewEvent(time, UET_PROG_CHANGE, value), true); }

void ug_base::QueueCall(int time, EventCall fn) {
  ug_event* event = NewEvent(time, UET_CALL);
  if (event == nullptr) return;
  event->call = fn;
  AddEvent(event, true);
}

}  // namespace kr
