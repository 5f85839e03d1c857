#include "engine/uplug.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <string>

#include "engine/container_hooks.h"
#include "engine/ug_base.h"

namespace kr {

namespace {

std::uint32_t FlagsFromRecord(const InterfaceObject& record) {
  std::uint32_t flags = 0;
  if ((record.flags & PF_SIGNAL) == 0) flags |= UPF_CONTROL_INPUT;
  if ((record.flags & PF_SUM) != 0) flags |= UPF_SUMMING;
  if ((record.flags & (PF_PATCH_VALUE | PF_PATCH_VALUE_IN)) != 0) flags |= UPF_PATCH_VALUE;
  return flags;
}

long ToInteger(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }
double ToReal(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

}  // namespace

UPlug::UPlug(ug_base* owner_, PlugDirection direction_, PlugDataType type_)
    : owner(owner_), direction(direction_), type(type_) {}

UPlug::UPlug(ug_base* owner_, const InterfaceObject& record)
    : owner(owner_),
      data(record.dataType == DT_AUDIO ? nullptr : record.valueBinding),
      binding(record.bufferBinding),
      direction(record.direction),
      type(record.dataType),
      flags(FlagsFromRecord(record)) {
  // A summing audio input keeps its source list in the value binding.
  if (record.dataType == DT_AUDIO && (flags & UPF_SUMMING) != 0) data = record.valueBinding;
}

UPlug::~UPlug() {
  while (!connections.empty()) Disconnect(connections.back());
}

void UPlug::UseInlineStorage() {
  if (data == nullptr) data = &inline_;
}

void UPlug::AllocateData() {
  switch (type) {
    case DT_AUDIO:
      if (IsSumming() && direction != DR_OUT) break;  // its data is the module's source list
      if (direction == DR_OUT) {
        if (!ownBlock_) ownBlock_ = std::make_unique<USampBlock>(owner != nullptr ? owner->BlockLength() : SubBlockLength());
        data = ownBlock_.get();
        flags |= UPF_OWNS_DATA;
      } else {
        data = &sourceBlock_;
      }
      break;
    case DT_TEXT:
      if (data == nullptr) {
        ownText_ = std::make_unique<std::string>();
        ownText_->reserve(kTextCapacity);
        data = ownText_.get();
        flags |= UPF_OWNS_DATA;
      }
      break;
    case DT_DOUBLE:
      if (data == nullptr) {
        ownDouble_ = std::make_unique<double>(0.0);
        data = ownDouble_.get();
        flags |= UPF_OWNS_DATA;
      }
      break;
    case DT_MIDI:
      if (data == nullptr) {
        if (direction == DR_OUT) {
          ownMidiOut_ = std::make_unique<MidiOutEndpoint>();
          data = ownMidiOut_.get();
        } else {
          ownMidiIn_ = std::make_unique<MidiInEndpoint>();
          data = ownMidiIn_.get();
        }
        flags |= UPF_OWNS_DATA;
      }
      break;
    default:
      UseInlineStorage();
      break;
  }
}

USampBlock* UPlug::Block() {
  if (type != DT_AUDIO) return nullptr;
  if (direction == DR_OUT) return ownBlock_.get();
  return sourceBlock_;
}

float* UPlug::GetSampleBuffer() {
  if (type != DT_AUDIO || (IsSumming() && direction != DR_OUT)) return nullptr;
  if (direction == DR_OUT) {
    if (!ownBlock_) AllocateData();
    return ownBlock_->samples();
  }
  if (sourceBlock_ != nullptr) return sourceBlock_->samples();
  // Unconnected input: read silence of our own rather than a null buffer.
  if (!ownBlock_) ownBlock_ = std::make_unique<USampBlock>(owner != nullptr ? owner->BlockLength() : SubBlockLength());
  return ownBlock_->samples();
}

float UPlug::GetValueNow() {
  const float* samples = GetSampleBuffer();
  if (samples == nullptr || owner == nullptr) return 0.0f;
  const int length = owner->BlockLength();
  const int index = std::clamp(owner->clock - owner->PeriodStart(), 0, length - 1);
  return samples[index];
}

void UPlug::SetState(int time, PlugState newState) {
  if (newState == state && newState != ST_STATIC) return;
  if (newState == ST_STATIC && time == staticTime && type == DT_AUDIO && state < ST_RUN) return;
  state = newState;
  // Receivers may disconnect while we notify; walk by index on a stable count.
  for (std::size_t i = 0; i < connections.size(); ++i) {
    connector* c = connections[i];
    if (c->from == this && c->to != nullptr && c->to->owner != nullptr) c->to->owner->QueueStateChange(time, c, newState);
  }
  if (newState == ST_STATIC) {
    staticTime = time;
    state = ST_STOP;  // a step is a one-time message; the plug is then at rest
  } else {
    staticTime = 0;
  }
}

void UPlug::SetValueFromText(std::string_view view) {
  const std::string text(view);
  if (data == nullptr && type != DT_AUDIO) AllocateData();
  switch (type) {
    case DT_ENUM:
      EnumValue() = static_cast<std::int16_t>(ToInteger(text));
      break;
    case DT_TEXT:
      TextValue() = text;
      break;
    case DT_MIDI:
      break;
    case DT_DOUBLE:
      DoubleValue() = ToReal(text);
      break;
    case DT_BOOL:
      BoolValue() = ToInteger(text) != 0;
      break;
    case DT_AUDIO: {
      const auto value = static_cast<float>(ToReal(text) * 0.1);
      if (direction == DR_OUT) {
        if (!ownBlock_) AllocateData();
        ownBlock_->Fill(value);
      } else if (sourceBlock_ != nullptr) {
        sourceBlock_->Fill(value);
      } else {
        GetSampleBuffer();  // own block for an unconnected input
        ownBlock_->Fill(value);
      }
      break;
    }
    case DT_FLOAT:
      FloatValue() = static_cast<float>(ToReal(text));
      break;
    case DT_INT:
      IntValue() = static_cast<std::int32_t>(ToInteger(text));
      break;
  }
}

void UPlug::ApplyDefault(std::string_view text) {
  if (type == DT_MIDI) return;
  if (IsInput()) {
    if (partner != nullptr && partner->redirect != nullptr) {
      UPlug* target = partner->redirect;
      while (target->redirect != nullptr) target = target->redirect;
      if (target != this) target->ApplyDefault(text);
      return;
    }
    if (HasConnection()) {
      UPlug* source = connections.front()->from;
      source->SetValueFromText(text);
      source->flags |= UPF_VALUE_CHANGED;
      source->owner->PostNotify(1, 0);
      return;
    }
    ug_base* holder = nullptr;
    if (owner != nullptr && owner->container != nullptr)
      holder = owner->container->ConstantSourceModule((flags & UPF_PATCH_VALUE) != 0);
    if (holder == nullptr) {
      SetValueFromText(text);  // no container: the value stays on the plug itself
      return;
    }
    auto constant = std::make_unique<UPlug>(holder, DR_OUT, type);
    constant->AllocateData();
    UPlug* source = holder->AddPlug(std::move(constant));
    source->SetValueFromText(text);
    Connect(source, this);
    return;
  }
  if (direction == DR_OUT) {
    SetValueFromText(text);
    flags |= UPF_VALUE_CHANGED;
    if (owner != nullptr) owner->PostNotify(1, 0);
  }
}

void UPlug::CopyValueFrom(UPlug& source) {
  if (source.data == nullptr || source.type != type) return;
  if (data == nullptr) AllocateData();
  switch (type) {
    case DT_ENUM:
      EnumValue() = source.EnumValue();
      break;
    case DT_TEXT:
      TextValue() = source.TextValue();
      break;
    case DT_DOUBLE:
      DoubleValue() = source.DoubleValue();
      break;
    case DT_BOOL:
      BoolValue() = source.BoolValue();
      break;
    case DT_FLOAT:
      FloatValue() = source.FloatValue();
      break;
    case DT_INT:
      IntValue() = source.IntValue();
      break;
    default:
      break;
  }
}

std::int32_t UPlug::ValueSnapshot() {
  if (data == nullptr) return 0;
  switch (type) {
    case DT_ENUM:
      return EnumValue();
    case DT_BOOL:
      return BoolValue() ? 1 : 0;
    case DT_FLOAT:
      return std::bit_cast<std::int32_t>(FloatValue());
    case DT_INT:
      return IntValue();
    default:
      return 0;  // text and double are copied from the source plug when due
  }
}

void UPlug::StoreSnapshot(std::int32_t snapshot) {
  if (data == nullptr || IsSumming()) return;
  switch (type) {
    case DT_ENUM:
      EnumValue() = static_cast<std::int16_t>(snapshot);
      break;
    case DT_BOOL:
      BoolValue() = snapshot != 0;
      break;
    case DT_FLOAT:
      FloatValue() = std::bit_cast<float>(snapshot);
      break;
    case DT_INT:
      IntValue() = snapshot;
      break;
    default:
      break;
  }
}

void UPlug::DetachConnector(connector* c) {
  auto it = std::find(connections.begin(), connections.end(), c);
  if (it != connections.end()) connections.erase(it);
}

void UPlug::SendMidi(int time, std::uint32_t message) {
  if (type != DT_MIDI || direction != DR_OUT || data == nullptr || MidiOut().plug == nullptr) return;
  const std::uint32_t status = message & 0xFFu;
  for (std::size_t i = 0; i < connections.size(); ++i) {
    connector* c = connections[i];
    UPlug* input = c->to;
    if (c->from != this || input == nullptr || input->data == nullptr) continue;
    const int filter = input->MidiIn().channel;
    if (filter == -1 || filter == static_cast<int>(status & 0x0Fu) || status >= 0xF0u)
      input->owner->QueueMidi(time, message, input);
  }
}

void UPlug::WakeReceivers() {
  for (std::size_t i = 0; i < connections.size(); ++i) {
    connector* c = connections[i];
    if (c->from == this && c->to != nullptr && c->to->owner != nullptr) c->to->owner->Wake();
  }
}

const char* GetStatString(int state) {
  switch (state) {
    case ST_STOP:
      return "ST_STOP";
    case ST_STATIC:
      return "ST_STATIC";
    case ST_RUN:
      return "ST_RUN";
    default:
      return "GetStatString ERROR";
  }
}

}  // namespace kr
