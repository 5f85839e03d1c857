// How legacy controls map values: a slider's volts between its "Lo Value"
// and "Hi Value", a list entry's items, and values moved on the audio side.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "document/container.h"
#include "document/controls.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "registry/item_list.h"
#include "registry/range_text.h"

namespace kr {

namespace control_classes {
extern const RuntimeClass kCombo, kSlider;
}

namespace {

float Unit(float x) { return std::isnan(x) ? 0.0f : std::clamp(x, 0.0f, 1.0f); }

struct VoltRange {
  double lo = 0.0;
  double hi = 10.0;
};

VoltRange RangeOf(const CControl& slider) {
  VoltRange r;
  if (const CPlug2* lo = slider.FindPlug("Lo Value")) r.lo = std::atof(lo->ValueText().c_str());
  if (const CPlug2* hi = slider.FindPlug("Hi Value")) r.hi = std::atof(hi->ValueText().c_str());
  return r;
}

std::string VoltsText(double v) {
  char text[64];
  std::snprintf(text, sizeof text, v < 1.0 ? "%.3f" : v < 100.0 ? "%.2f" : "%.1f", v);
  return text;
}

// The input an output feeds, followed through container boundaries (to the
// module inside that the boundary plug leads to).
const CPlug2* FedInput(const CPlug2& output, int depth = 0) {
  for (const CLine2* wire : output.Wires()) {
    const CPlug2* other = wire->From() == &output ? wire->To() : wire->From();
    if (other == nullptr || other == &output) continue;
    if (const auto* boundary = DynamicKind<CPlugIO2>(other)) {
      if (boundary->Partner() == nullptr || depth >= 16) continue;
      if (const CPlug2* inside = FedInput(*boundary->Partner(), depth + 1)) return inside;
      continue;
    }
    if (other->Direction() != DR_OUT) return other;
  }
  return nullptr;
}

}  // namespace

float CControl::NormalisedValue() const {
  if (class_ != &control_classes::kSlider) return generic_parameter::NormalisedValue();
  const VoltRange r = RangeOf(*this);
  if (r.hi == r.lo) return 0.0f;
  const double n = (std::atof(ValueText().c_str()) - r.lo) / (r.hi - r.lo);
  return Unit(static_cast<float>(n));
}

void CControl::SetNormalisedValue(float x) {
  if (class_ != &control_classes::kSlider) {
    generic_parameter::SetNormalisedValue(x);
    return;
  }
  const VoltRange r = RangeOf(*this);
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", r.lo + (r.hi - r.lo) * static_cast<double>(Unit(x)));
  SetValueText(text);
}

std::string CControl::DisplayTextFor(float x) const {
  if (class_ != &control_classes::kSlider) return generic_parameter::DisplayTextFor(x);
  const VoltRange r = RangeOf(*this);
  return VoltsText(r.lo + (r.hi - r.lo) * static_cast<double>(Unit(x)));
}

namespace {
bool HasOwnItems(const CPlug2& input) {
  return input.DataType() == DT_ENUM && !input.ListText().empty() && input.ListText() != "{AUTO}";
}
}  // namespace

std::string CControl::ItemList() const {
  if (class_ != &control_classes::kCombo) return {};
  // The items of the input "Choice" feeds; unwired, the list kept with the control.
  if (const CPlug2* choice = FindPlug("Choice"))
    if (const CPlug2* input = FedInput(*choice); input != nullptr && HasOwnItems(*input)) return input->ListText();
  return text;
}

void CControl::GiveEveryProgramItsValue() {
  const int count = ProgramCount();
  if (count == 0 || count >= kSlots) return;
  // Programs past the stored ones read the first: they keep that value.
  for (int p = count; p < kSlots; ++p) {
    switch (ValueType()) {
      case ControlValueType::Integer: integers.push_back(integers[0]); break;
      case ControlValueType::Text: texts.push_back(texts[0]); break;
      case ControlValueType::Number: numbers.push_back(numbers[0]); break;
    }
  }
  singleValue = false;
}

void CControl::StoreAudioValue(int program, std::string_view value) {
  if (program < 0 || program >= kSlots) return;
  const bool current = SlotFor(-1) == SlotFor(program);
  SetValueTextFor(program, value);
  if (current) AnnounceValue(kChangeFromAudio);
}

void CControl::PlugWiresChanged(CPlug2& plug) {
  if (plug.Direction() != DR_OUT) return;
  const CPlug2* input = FedInput(plug);
  if (input == nullptr) return;
  if (class_ == &control_classes::kSlider && plug.Name() == "Signal Out" && input->DataType() == DT_AUDIO) {
    const RangeText range = ParseRangeText(input->ListText());
    if (CPlug2* hi = FindPlug("Hi Value")) hi->SetValueText(range.HiValueText());
    if (CPlug2* lo = FindPlug("Lo Value")) lo->SetValueText(range.LoValueText());
  } else if (class_ == &control_classes::kCombo && plug.Name() == "Choice" && HasOwnItems(*input)) {
    text = input->ListText();
  } else {
    return;
  }
  if ((input->Definition().flags & PF_KEEP_ON_PATCH_CHANGE) != 0)
    if (CPlug2* ignore = FindPlug("Ignore Program Change")) ignore->SetValueText("1");
}

}  // namespace kr
