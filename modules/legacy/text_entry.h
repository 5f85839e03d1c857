// "Text Entry": the control's text on "Text Out". Not in MIDI automation,
// and it does not follow program changes: it has no "Ignore Program Change"
// setting, and such a control keeps one value for every program. The text
// arrives in a buffer reserved when the engine is built, so a new text costs
// the audio thread no allocation.
#pragma once

#include <memory>
#include <string>

#include "engine/ug_control.h"

namespace kr {

class ug_text_entry final : public ug_control {
 public:
  enum PlugIndex { PN_TEXT_OUT = 0, PN_SHOW_TITLE };

  ug_text_entry();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_text_entry>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void ApplyValue(int patch, bool smooth) override;
  std::string ValueText() override { return text_; }
  void LoadTexts(std::span<const std::string> texts) override;

 protected:
  void ReadValues(my_input_stream& stream, int first, int count) override;

 private:
  std::string text_;
  std::string skipped_;  // the texts of other programs, read and dropped
  bool showTitle_ = true;
};

}  // namespace kr
