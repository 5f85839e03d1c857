// "List Entry": a choice among items on "Choice". The items are those of
// the plug "Choice" feeds, or the control's own; a controller or host value
// x chooses item min(trunc(n x), n - 1).
#pragma once

#include <memory>
#include <vector>

#include "engine/ug_control.h"

namespace kr {

class ug_combobox final : public ug_control {
 public:
  enum PlugIndex { PN_CHOICE = 6, PN_APPEARANCE, PN_SHOW_TITLE };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_combobox>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void LoadItems(std::span<const std::int32_t> itemValues) override;
  void ApplyValue(int patch, bool smooth) override;
  bool SetFromMidi(float value) override;
  std::string ValueText() override;
  float NormalisedValue() override;
  int Choice() const { return choice_; }

 protected:
  std::int32_t CurrentValue() override { return choice_; }

 private:
  void Choose(std::int16_t value);

  std::vector<std::int32_t> items_;  // set while the engine is stopped
  std::int16_t choice_ = 0;
  std::int16_t appearance_ = 0;
  bool showTitle_ = true;
};

}  // namespace kr
