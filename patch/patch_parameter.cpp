#include "patch/patch_parameter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "document/cug.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "engine/audio_master.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "engine/msg_text.h"
#include "registry/item_list.h"

namespace kr {

namespace {

float PlugNumber(const CUG* owner, const char* name, float fallback) {
  const CPlug2* plug = owner != nullptr ? owner->FindPlug(name) : nullptr;
  if (plug == nullptr || plug->ValueText().empty()) return fallback;
  const float value = static_cast<float>(std::atof(plug->ValueText().c_str()));
  return std::isfinite(value) ? value : fallback;
}

struct Items {
  std::vector<int> values;
  int PositionOf(int value) const {
    for (std::size_t i = 0; i < values.size(); ++i)
      if (values[i] == value) return static_cast<int>(i);
    return -1;
  }
};

// Very long "range" lists are capped: nobody picks among millions of items.
constexpr int kMaxItems = 4096;

Items ItemsOf(const std::string& list) {
  Items items;
  EnumListIterator it(list);
  for (it.First(); !it.IsDone() && static_cast<int>(items.values.size()) < kMaxItems; it.Next())
    items.values.push_back(it.CurrentValue());
  return items;
}

// A slot's value as the audio side takes it: float bits, or the integer.
// A NaN goes as the quiet NaN of its sign, as it always has.
std::int32_t SlotBits(const StoredPatchParameter& stored, int slot) {
  const auto index = static_cast<std::size_t>(slot < 0 || slot >= StoredPatchParameter::kSlots ? 0 : slot);
  if (stored.typeNumber != PV_FLOAT) return index < stored.integers.size() ? stored.integers[index] : 0;
  float value = index < stored.floats.size() ? stored.floats[index] : 0.0f;
  if (std::isnan(value)) value = std::copysign(std::numeric_limits<float>::quiet_NaN(), value);
  return std::bit_cast<std::int32_t>(value);
}

std::string FloatText(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

}  // namespace

PatchParameter::PatchParameter(CPatchManager& memory, StoredPatchParameter& stored)
    : memory_(memory), stored_(stored), plug_(stored.plug) {
  if (plug_ != nullptr) plug_->AddObserver(this);
}

PatchParameter::~PatchParameter() {
  if (plug_ != nullptr) plug_->RemoveObserver(this);
  if (observer_ != nullptr) observer_->OnPatchParameterGone();
}

int PatchParameter::CurrentSlot() const { return stored_.SlotOf(memory_.CurrentPatch()); }

std::string PatchParameter::ValueText() const { return stored_.SlotText(CurrentSlot()); }

float PatchParameter::Minimum() const { return PlugNumber(plug_ != nullptr ? plug_->Owner() : nullptr, "Min Value", 0.0f); }
float PatchParameter::Maximum() const {
  return PlugNumber(plug_ != nullptr ? plug_->Owner() : nullptr, "Max Value", 10.0f);
}

std::string PatchParameter::ItemList() const {
  if (plug_ == nullptr) return {};
  std::string list = plug_->ItemList();
  if (!list.empty() && !IsAutoList(list)) return list;
  // A list module takes the items of whatever its "List Out" is wired to.
  if (const CUG* owner = plug_->Owner())
    if (const CPlug2* out = owner->FindPlug("List Out"))
      for (const CLine2* wire : out->Wires()) {
        const CPlug2* other = wire->From() == out ? wire->To() : wire->From();
        if (other != nullptr && !other->ItemList().empty() && !IsAutoList(other->ItemList())) return other->ItemList();
      }
  return {};
}

float PatchParameter::Normalised() const {
  const std::string text = ValueText();
  switch (stored_.typeNumber) {
    case PV_FLOAT: {
      const float lo = Minimum(), hi = Maximum();
      if (!(hi != lo)) return 0.0f;  // a zero-width range maps to 0
      const float n = (static_cast<float>(std::atof(text.c_str())) - lo) / (hi - lo);
      return std::isfinite(n) ? std::clamp(n, 0.0f, 1.0f) : 0.0f;
    }
    case PV_ENUM: {
      const Items items = ItemsOf(ItemList());
      const int k = static_cast<int>(items.values.size());
      if (k < 2) return 0.0f;
      const int position = items.PositionOf(std::atoi(text.c_str()));
      return position < 0 ? 0.0f : static_cast<float>(position) / static_cast<float>(k - 1);
    }
    case PV_BOOL: return std::atoi(text.c_str()) != 0 ? 1.0f : 0.0f;
    default: return 0.0f;
  }
}

std::string PatchParameter::TextForNormalised(float n) const {
  if (std::isnan(n)) return {};
  n = std::clamp(n, 0.0f, 1.0f);
  switch (stored_.typeNumber) {
    case PV_FLOAT: return FloatText(Minimum() + (Maximum() - Minimum()) * n);
    case PV_ENUM: {
      const Items items = ItemsOf(ItemList());
      const int k = static_cast<int>(items.values.size());
      if (k == 0) return "0";
      const int position = std::min(static_cast<int>(static_cast<float>(k) * n), k - 1);
      return std::to_string(items.values[static_cast<std::size_t>(position)]);
    }
    case PV_BOOL: return n >= 0.5f ? "1" : "0";
    default: return {};  // int and text: not settable from the host
  }
}

std::string PatchParameter::DisplayText() const {
  const std::string text = ValueText();
  switch (stored_.typeNumber) {
    case PV_FLOAT: {
      const double v = std::atof(text.c_str());
      const int decimals = std::fabs(v) < 0.1 ? 4 : std::fabs(v) <= 10.0 ? 2 : 1;
      char out[64];
      std::snprintf(out, sizeof out, "%.*f", decimals, v);
      return out;
    }
    case PV_ENUM: return LabelOfValue(ItemList(), std::atoi(text.c_str()));
    case PV_BOOL: return std::atoi(text.c_str()) != 0 ? "true" : "false";
    case PV_INT: return std::to_string(std::atoi(text.c_str()));
    default: return text;
  }
}

void PatchParameter::SetNormalised(float normalised) {
  const std::string text = TextForNormalised(normalised);
  if (text.empty()) return;  // NaN, or a type the host cannot set
  setByHost_ = true;
  StoreAndTell(text, false);
  setByHost_ = false;
}

void PatchParameter::StoreAndTell(const std::string& text, bool report) {
  stored_.SetSlotText(CurrentSlot(), text);
  applying_ = true;
  if (plug_ != nullptr) plug_->SetValueText(stored_.SlotText(CurrentSlot()));
  applying_ = false;
  if (observer_ != nullptr) observer_->OnPatchValueChanged(report && !setByHost_);
  if (!notifyLock_) SendToAudio(false);
}

void PatchParameter::Apply(int patch) {
  // Values the audio side sent before it hears of this switch belong to the
  // program left behind: they are dropped when they arrive.
  ++programEpoch_;
  const std::string text = stored_.SlotText(stored_.SlotOf(patch));
  applying_ = true;
  if (plug_ != nullptr) plug_->SetValueText(text);
  applying_ = false;
  if (observer_ != nullptr) observer_->OnPatchValueChanged(false);
  SendToAudio(true);
}

void PatchParameter::CopyCurrentTo(int first, int last) {
  const std::string text = ValueText();
  for (int slot = std::max(first, 0); slot <= std::min(last, StoredPatchParameter::kSlots - 1); ++slot)
    stored_.SetSlotText(slot, text);
}

void PatchParameter::OnNotify(Notifier* source, int code, void* data) {
  if (code == NC_PARAMETER_GONE) {
    plug_ = nullptr;
    return;
  }
  if (code != NC_PARAMETER_VALUE || applying_ || plug_ == nullptr) return;
  // An edit of the plug (panel, patch text): it becomes the current program's value.
  stored_.SetSlotText(CurrentSlot(), plug_->ValueText());
  if (observer_ != nullptr) observer_->OnPatchValueChanged(data == nullptr);
  SendToAudio(false);
}

void PatchParameter::OnDspMessage(std::int32_t id, my_input_stream& stream) {
  if (id == kMsgLearnt) {
    // Kept with the document: a later start files the twin under it again.
    stored_.midiController = stream.ReadInt();
    return;
  }
  if (id != kMsgPatchValue) return;
  std::uint8_t flag = 0;
  stream >> flag;
  std::string text;
  if (stored_.typeNumber == PV_TEXT) {
    text = ReadMsgText(stream);
  } else {
    std::int32_t bits = 0;
    stream >> bits;
    text = stored_.typeNumber == PV_FLOAT ? FloatText(std::bit_cast<float>(bits)) : std::to_string(bits);
  }
  if (static_cast<std::uint32_t>(stream.ReadInt()) != programEpoch_) return;
  // Stored under the notify lock: the twin has the value already.
  notifyLock_ = true;
  StoreAndTell(text, flag == 0);
  notifyLock_ = false;
}

void PatchParameter::SetMidiController(std::int32_t identifier) {
  stored_.midiController = identifier;
  if (master_ == nullptr || twin_ == nullptr) return;
  my_msg_que_output_stream out(master_->GuiToDsp(), Handle(), kMsgControllerId);
  out << identifier;
  out.Send();
}

void PatchParameter::Bind(KrAudioMaster& master, dsp_patch_parameter* twin) {
  master_ = &master;
  twin_ = twin;
}

void PatchParameter::Unbind() {
  master_ = nullptr;
  twin_ = nullptr;
}

void PatchParameter::SendToAudio(bool patchChange) {
  if (master_ == nullptr || twin_ == nullptr) return;
  my_msg_que_output_stream out(master_->GuiToDsp(), Handle(), kMsgPatchValue);
  out << static_cast<std::uint8_t>(patchChange ? 1 : 0);
  // The value as the slot holds it: only a text value travels as text.
  if (stored_.typeNumber == PV_TEXT)
    WriteMsgText(out, ValueText());
  else
    out << SlotBits(stored_, CurrentSlot());
  out << static_cast<std::int32_t>(programEpoch_);
  out.Send();
}

}  // namespace kr
