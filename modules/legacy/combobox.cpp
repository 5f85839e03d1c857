#include "modules/legacy/combobox.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "modules/legacy/control_plugs.h"

void ug_combobox::ListInterface(InterfaceList& list) {
  legacy_controls::ListControlPlugs(*this, list);
  list.emplace_back(&choice_, &typeid(std::int16_t), "Choice", DR_OUT, DT_ENUM, "", "", PF_ANY_LIST);
  list.emplace_back(&appearance_, &typeid(std::int16_t), "Appearance", DR_PARAMETER, DT_ENUM, "0",
                    "Combo Box=0, LED Stack, Labeled LED Stack, Selector, Button Stack, Rotary Switch, Rotary (No "
                    "Text), Up/Down Select");
  legacy_controls::ListShowTitle(showTitle_, list);
}

void ug_combobox::LoadItems(std::span<const std::int32_t> itemValues) { items_.assign(itemValues.begin(), itemValues.end()); }

void ug_combobox::Open() {
  ug_control::Open();
  choice_ = static_cast<std::int16_t>(ProgramValue(-1));
  GetPlug(PN_CHOICE)->SetState(clock, ST_STATIC);
}

void ug_combobox::Choose(std::int16_t value) {
  choice_ = value;
  if ((flags & UGF_OPEN) == 0) return;
  Wake();
  GetPlug(PN_CHOICE)->SetState(clock, ST_STATIC);
}

void ug_combobox::ApplyValue(int patch, bool) { Choose(static_cast<std::int16_t>(ProgramValue(patch))); }

bool ug_combobox::SetFromMidi(float value) {
  const auto n = static_cast<int>(items_.size());
  std::int16_t chosen = 0;
  if (n > 0) {
    const float scaled = std::clamp(value, 0.0f, 1.0f) * static_cast<float>(n);
    chosen = static_cast<std::int16_t>(items_[static_cast<std::size_t>(std::min(static_cast<int>(scaled), n - 1))]);
  }
  if (chosen == choice_) return false;
  Choose(chosen);
  if (audioMaster != nullptr) audioMaster->PostRefresh(*this);
  return true;
}

std::string ug_combobox::ValueText() { return std::to_string(choice_); }

float ug_combobox::NormalisedValue() {
  const auto n = static_cast<int>(items_.size());
  if (n < 2) return 0.0f;
  const auto it = std::find(items_.begin(), items_.end(), choice_);
  return it == items_.end() ? 0.0f : static_cast<float>(it - items_.begin()) / static_cast<float>(n - 1);
}
