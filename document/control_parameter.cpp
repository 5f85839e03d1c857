// A legacy control as a named parameter: one value per program, typed by
// the control's class, and its MIDI settings in its plugs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "document/container.h"
#include "document/controls.h"
#include "registry/patch_select_program.h"
#include "registry/plug_types.h"

namespace kr {

namespace control_classes {
extern const RuntimeClass kCombo, kSlider, kPeakMeter, kVoltMeter, kLED;
}

namespace {

constexpr int kControllerChanged = 32;
constexpr int kNrpnChanged = 33;

std::string NumberText(double v) {
  char text[64];
  std::snprintf(text, sizeof text, v < 1.0 ? "%.3f" : v < 100.0 ? "%.2f" : "%.1f", v);
  return text;
}

}  // namespace

bool CControl::CanBeAutomated() const {
  using namespace control_classes;
  return class_ == &kCombo || class_ == &kSlider || class_ == &kPeakMeter || class_ == &kVoltMeter;
}

std::uint8_t CControl::KindByte() const {
  using namespace control_classes;
  return class_ == &kPeakMeter || class_ == &kVoltMeter || class_ == &kLED ? 1 : 0;
}

namespace {
constexpr const char* kMidiSettings[] = {"MIDI Controller ID", "MIDI NRPN"};
}  // namespace

int CControl::ParameterCount() const {
  int count = CUG::ParameterCount();
  for (const char* name : kMidiSettings) count += FindPlug(name) != nullptr ? 1 : 0;
  return count;
}

generic_parameter* CControl::ParameterAt(int index) const {
  if (index < CUG::ParameterCount()) return CUG::ParameterAt(index);
  index -= CUG::ParameterCount();
  for (const char* name : kMidiSettings)
    if (CPlug2* plug = FindPlug(name); plug != nullptr && index-- == 0) return plug;
  return nullptr;
}

int CControl::MidiController() const {
  const generic_parameter* p = FindParameter(kMidiSettings[0]);
  return p ? ParameterTextToInt(p->ValueText()) : -1;
}

int CControl::MidiNrpn() const {
  const generic_parameter* p = FindParameter(kMidiSettings[1]);
  return p ? ParameterTextToInt(p->ValueText()) : 0;
}

void CControl::SetMidiController(int controller) {
  generic_parameter* p = FindParameter(kMidiSettings[0]);
  if (p == nullptr || controller == MidiController()) return;
  p->SetValueText(std::to_string(controller));
  generic_parameter::Notify(kControllerChanged);
}

void CControl::SetMidiNrpn(int nrpn) {
  generic_parameter* p = FindParameter(kMidiSettings[1]);
  if (p == nullptr || nrpn == MidiNrpn()) return;
  p->SetValueText(std::to_string(nrpn));
  generic_parameter::Notify(kNrpnChanged);
}

int CControl::DataType() const {
  switch (ValueType()) {
    case ControlValueType::Integer: return DT_ENUM;
    case ControlValueType::Text: return DT_TEXT;
    case ControlValueType::Number: return DT_DOUBLE;
  }
  return DT_DOUBLE;
}

int CControl::ProgramCount() const {
  switch (ValueType()) {
    case ControlValueType::Integer: return static_cast<int>(integers.size());
    case ControlValueType::Text: return static_cast<int>(texts.size());
    case ControlValueType::Number: return static_cast<int>(numbers.size());
  }
  return 0;
}

namespace {
// The slot a program reads: the container's current program for a control
// with several, 0 otherwise and for programs past the stored ones. A control
// that does not follow program changes keeps one value for every program,
// program 0's: the value shown is the value playing.
std::size_t SlotOf(const CControl& control, int program) {
  const int count = control.ProgramCount();
  if (program < 0)
    program = count > 1 && control.Parent() && control.FollowsProgramChanges() ? control.Parent()->CurrentProgram() : 0;
  return static_cast<std::size_t>(program >= 0 && program < count ? program : 0);
}
}  // namespace

std::size_t CControl::SlotFor(int program) const { return SlotOf(*this, program); }

std::string CControl::ValueTextFor(int program) const {
  if (ProgramCount() == 0) return {};
  const std::size_t slot = SlotOf(*this, program);
  switch (ValueType()) {
    case ControlValueType::Integer: return std::to_string(integers[slot]);
    case ControlValueType::Text: return texts[slot];
    case ControlValueType::Number: return NumberText(numbers[slot]);
  }
  return {};
}

std::string CControl::ChunkValueTextFor(int program) const {
  if (ValueType() != ControlValueType::Number || ProgramCount() == 0) return ValueTextFor(program);
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", numbers[SlotOf(*this, program)]);
  return text;
}

void CControl::SetValueTextFor(int program, std::string_view text) {
  // A value for a program past the stored ones must not land on program 0's.
  if (program >= ProgramCount()) GiveEveryProgramItsValue();
  // A control that holds no values yet gets its full set of program slots.
  if (ProgramCount() == 0) {
    switch (ValueType()) {
      case ControlValueType::Integer: integers.assign(kSlots, 0); break;
      case ControlValueType::Text: texts.assign(kSlots, {}); break;
      case ControlValueType::Number: numbers.assign(kSlots, 0.0); break;
    }
  }
  const std::size_t slot = SlotOf(*this, program);
  const std::string copy(text);
  switch (ValueType()) {
    case ControlValueType::Integer: integers[slot] = ParameterTextToInt(copy); break;
    case ControlValueType::Text: texts[slot] = copy; break;
    case ControlValueType::Number: numbers[slot] = std::atof(copy.c_str()); break;
  }
}

void CControl::SetValueText(std::string_view text) {
  const std::string before = ValueText();
  SetValueTextFor(-1, text);
  if (ValueText() != before) AnnounceValue();
}

bool CControl::FollowsProgramChanges() const {
  const CPlug2* ignore = FindPlug("Ignore Program Change");
  return ignore != nullptr && ignore->ValueText() != "1";
}

void CControl::FollowProgram(int) {
  if (!FollowsProgramChanges()) return;
  AnnounceValue(kChangeFromProgram);
  if (&Class() == &control_classes::kEnvEdit) AudioObjectMade();  // the program's shape
}

std::string CControl::EnvelopeText() const {
  return ValueType() == ControlValueType::Text ? ValueText() : text;
}

void CControl::SetEnvelopeText(std::string_view shape) {
  if (ValueType() == ControlValueType::Text) SetValueText(shape);
  else text = std::string(shape);
}

void CControl::AudioObjectMade() {
  if (&Class() != &control_classes::kEnvEdit) return;
  if (EnvelopeShapeReceiver* receiver = EnvelopeReceiver()) receiver->ReceiveShape(EnvelopeShapeFromText(EnvelopeText()));
}

void Ctl_PatchSel::FollowProgram(int program) {
  PatchSelectProgram* shown = ShownProgram();
  if (shown == nullptr || shown->shownProgram.load(std::memory_order_acquire) == program) return;
  shown->shownProgram.store(program, std::memory_order_release);
  shown->PostProgramNotify(program);
}

}  // namespace kr
