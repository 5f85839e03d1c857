// "Text Entry": the control's text, one per program, on "Text Out". Not in
// MIDI automation; the panel and program changes set it.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "engine/ug_control.h"

class ug_text_entry final : public ug_control {
 public:
  enum PlugIndex { PN_TEXT_OUT = 0, PN_SHOW_TITLE };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_text_entry>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void ApplyValue(int patch, bool smooth) override;
  std::string ValueText() override;
  void LoadTexts(std::span<const std::string> texts) override;

 protected:
  void ReadValues(my_input_stream& stream, int first, int count) override;

 private:
  std::array<std::string, kPrograms> texts_;
  bool showTitle_ = true;
};
