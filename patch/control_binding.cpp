#include "patch/control_binding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/container.h"
#include "document/controls.h"
#include "document/iterators.h"
#include "engine/audio_master.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "engine/msg_text.h"
#include "engine/ug_control.h"
#include "engine/uplug.h"
#include "registry/item_list.h"

namespace kr {

namespace {

constexpr int kControlPrograms = ug_control::kPrograms;

// The program whose value plays: the container's, or 0 for a control that
// keeps one value for every program.
int CurrentProgramOf(const CControl& control) {
  if (!control.FollowsProgramChanges()) return 0;
  const int p = control.Parent() != nullptr ? control.Parent()->CurrentProgram() : 0;
  return p >= 0 && p < kControlPrograms ? p : 0;
}

// A program's value as the audio side keeps it: float bits of the volts for
// numbers, the item value for lists.
std::int32_t ValueOf(const CControl& control, int program) {
  if (control.ProgramCount() == 0) return 0;
  const std::size_t slot = control.SlotFor(program);
  switch (control.ValueType()) {
    case ControlValueType::Integer: return control.integers[slot];
    case ControlValueType::Number: return std::bit_cast<std::int32_t>(static_cast<float>(control.numbers[slot]));
    case ControlValueType::Text: return 0;
  }
  return 0;
}

std::string TextOf(const CControl& control, int program) {
  return control.ValueType() == ControlValueType::Text && control.ProgramCount() > 0
             ? control.texts[control.SlotFor(program)]
             : std::string();
}

template <class Fn>
void ForEachControl(const CContainer& c, Fn&& fn) {
  ForEachModule(c, [&](const CUG& m) {
    if (const auto* inner = DynamicKind<CContainer>(&m)) ForEachControl(*inner, fn);
    if (auto* control = DynamicKind<CControl>(const_cast<CUG*>(&m)))
      if (auto* audio = dynamic_cast<ug_control*>(control->AudioObject())) fn(*control, *audio);
  });
}

}  // namespace

ControlLink::ControlLink(CControl& control, ug_control& audio, KrAudioMaster& master)
    : control_(&control), master_(master), handle_(audio.handle) {
  // The document says whether it follows program changes (a control stored
  // without the setting does not).
  audio.ignoreProgramChange = !control.FollowsProgramChanges();
  std::array<std::int32_t, kControlPrograms> values{};
  std::vector<std::string> texts(kControlPrograms);
  for (int p = 0; p < kControlPrograms; ++p) {
    values[static_cast<std::size_t>(p)] = ValueOf(control, p);
    texts[static_cast<std::size_t>(p)] = TextOf(control, p);
  }
  audio.LoadProgramValues(values, CurrentProgramOf(control));
  audio.LoadTexts(texts);
  std::vector<std::int32_t> items;
  EnumListIterator list(control.ItemList());
  for (list.First(); !list.IsDone() && items.size() < 4096; list.Next()) items.push_back(list.CurrentValue());
  audio.LoadItems(items);
  control.Parameter().AddObserver(this);
}

ControlLink::~ControlLink() {
  if (control_ != nullptr) control_->Parameter().RemoveObserver(this);
}

void ControlLink::OnNotify(Notifier*, int code, void* data) {
  if (code == NC_PARAMETER_GONE) {
    control_ = nullptr;
    return;
  }
  if (code != NC_PARAMETER_VALUE || control_ == nullptr || data == generic_parameter::kChangeFromAudio) return;
  if (data == generic_parameter::kChangeFromProgram) {
    Send(ug_control::kProgramSwitch, true);
    return;
  }
  // A control holding one value for every program changes them all.
  Send(ug_control::kMoved, control_->ProgramCount() < kControlPrograms);
}

void ControlLink::Send(std::uint8_t kind, bool everyProgram) {
  if (handle_ == 0) return;
  const int current = CurrentProgramOf(*control_);
  const bool text = control_->ValueType() == ControlValueType::Text;
  // A text control's audio side keeps the text playing only.
  if (text) everyProgram = false;
  my_msg_que_output_stream out(master_.GuiToDsp(), handle_, kMsgControlValue);
  out << kind << static_cast<std::int32_t>(current) << static_cast<std::int32_t>(everyProgram ? kControlPrograms : 1);
  const int first = everyProgram ? 0 : current;
  const int last = everyProgram ? kControlPrograms - 1 : current;
  for (int p = first; p <= last; ++p) {
    if (text)
      WriteMsgText(out, TextOf(*control_, p));
    else
      out << ValueOf(*control_, p);
  }
  out.Send();
}

void ControlLink::TakeMovedValue(my_input_stream& stream) {
  const std::int32_t program = stream.ReadInt();
  const std::int32_t value = stream.ReadInt();
  if (control_ == nullptr || program < 0 || program >= kControlPrograms) return;
  std::string text;
  if (control_->ValueType() == ControlValueType::Number) {
    char number[40];
    std::snprintf(number, sizeof number, "%.9g", static_cast<double>(std::bit_cast<float>(value)));
    text = number;
  } else if (control_->ValueType() == ControlValueType::Integer) {
    text = std::to_string(value);
  } else {
    return;
  }
  control_->StoreAudioValue(program, text);
}

std::vector<std::unique_ptr<ControlLink>> BindControls(const CContainer& root, KrAudioMaster& master) {
  std::vector<std::unique_ptr<ControlLink>> links;
  ForEachControl(root, [&](CControl& control, ug_control& audio) {
    links.push_back(std::make_unique<ControlLink>(control, audio, master));
  });
  return links;
}

std::size_t ControlRingBytes(const CContainer& root) {
  std::size_t bytes = 0;
  ForEachModule(root, [&](const CUG& m) {
    if (const auto* inner = DynamicKind<CContainer>(&m)) bytes += ControlRingBytes(*inner);
    if (const auto* control = DynamicKind<CControl>(&m)) {
      if (control->ValueType() != ControlValueType::Text) {
        bytes += 32 + kControlPrograms * 4;  // every program's value
        return;
      }
      // The one text playing, up to the longest the audio side keeps
      // without allocating, or a longer one stored (UTF-16, ended).
      std::size_t longest = UPlug::kTextCapacity;
      for (const std::string& t : control->texts) longest = std::max(longest, t.size());
      bytes += 32 + 2 * (longest + 1);
    }
  });
  return bytes;
}

}  // namespace kr
