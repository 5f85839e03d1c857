#include "modules/legacy/combobox.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "modules/legacy/control_plugs.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_combobox::ListInterface(InterfaceList& list) {
  legacy_controls::ListControlPlugs(*this, list);
  static constexpr PlugDecl<ug_combobox> kPlugs[] = {
      {.at = PN_CHOICE,
       .name = "Choice",
       .direction = DR_OUT,
       .type = DT_ENUM,
       .flags = PF_ANY_LIST,
       .bind = &ug_combobox::choice_},
      {.at = PN_APPEARANCE,
       .name = "Appearance",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "Combo Box=0, LED Stack, Labeled LED Stack, Selector, Button Stack, Rotary "
               "Switch, Rotary (No Text), Up/Down Select",
       .bind = &ug_combobox::appearance_},
  };
  static_assert(PlugIndicesMatch(kPlugs, legacy_controls::kControlPlugCount) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  legacy_controls::ListShowTitle(showTitle_, list);
}

void ug_combobox::LoadItems(std::span<const std::int32_t> itemValues) {
  items_.assign(itemValues.begin(), itemValues.end());
}

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

}  // namespace kr
