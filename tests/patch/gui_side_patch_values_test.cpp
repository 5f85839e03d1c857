// GUI-side modules meeting patch values: what a widget or a converter
// writes is stored in the current program, and a program switch reaches
// the widgets and converters wired to the value.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "document/container.h"
#include "document/cug.h"
#include "document/document_builder.h"
#include "document/plug2.h"
#include "gui/panel/panel_values.h"
#include "patch/patch_memory.h"

namespace krtest {
using namespace kr;

namespace {

class GuiSidePatchValues : public ::testing::Test {
 protected:
  GuiSidePatchValues() { builder_.Root().EnsurePatchMemory(); }
  CUG& Add(std::string_view name) { return builder_.AddModule(builder_.Root(), name); }
  void Wire(CUG& from, std::string_view fromPlug, CUG& to, std::string_view toPlug) {
    builder_.Connect(builder_.Plug(from, fromPlug), builder_.Plug(to, toPlug));
  }
  void Finish() {
    document_ = builder_.Finish();
    memories_ = MakePatchMemories(*document_->root);
    ASSERT_EQ(memories_.size(), 1u);
  }
  // The stored patch value of a module's "Value" plug in the current program.
  std::string Stored(const CUG& module) {
    for (const auto& p : memories_[0]->Parameters())
      if (p->Stored().plug == module.FindPlug("Value")) return p->ValueText();
    return "(none)";
  }
  void SwitchTo(int program) { document_->root->PatchMemory()->SetCurrentPatch(program); }
  CPlug2& Find(const CUG& module, std::string_view name) { return *module.FindPlug(name); }

  DocumentBuilder builder_;
  std::unique_ptr<StoredDocument> document_;
  std::vector<std::unique_ptr<PatchMemory>> memories_;
  kr::gui::PanelValues panel_;
};

TEST_F(GuiSidePatchValues, AKnobOnAPositionSetsTheProgramsValueAndFollowsProgramSwitches) {
  CUG& knob = Add("Image");
  CUG& level = Add("PatchMemFloatIn");
  CUG& entry = Add("Text Entry2");
  CUG& text = Add("Text To Float");
  Wire(knob, "Animation Position", level, "Animation Position");
  Wire(entry, "Text", text, "Text");
  Wire(text, "Value", level, "Value");
  Finish();
  panel_.SetPlugValue(Find(knob, "Animation Position"), "0.3");
  EXPECT_EQ(std::stod(Stored(level)), 3);
  EXPECT_EQ(panel_.PlugValue(Find(entry, "Text")), "3.00");
  SwitchTo(1);
  panel_.SetPlugValue(Find(entry, "Text"), "8");  // typed: the converter sets the value
  EXPECT_EQ(std::stod(Stored(level)), 8);
  EXPECT_EQ(panel_.PlugValue(Find(knob, "Animation Position")), "0.8");
  SwitchTo(0);
  EXPECT_EQ(panel_.PlugValue(Find(knob, "Animation Position")), "0.3");
  EXPECT_EQ(panel_.PlugValue(Find(entry, "Text")), "3.00");
}

TEST_F(GuiSidePatchValues, AListValueSteppedOnThePanelIsKeptPerProgram) {
  CUG& memory = Add("PatchMemListIn_B");
  CUG& places = Add("Text To Float");  // holds the list: "<auto>=-1,0,1 ... 10"
  CUG& stepper = Add("Increment2");
  Wire(memory, "List Out", places, "Decimal Places");
  Wire(stepper, "Value", memory, "Value");
  Finish();
  const auto step = [&] {
    Find(stepper, "Increment").SetValueText("1");
    Find(stepper, "Increment").SetValueText("0");
  };
  step();
  step();
  EXPECT_EQ(Stored(memory), "1");  // from -1, where the linked value stood when wired
  EXPECT_EQ(Find(places, "Decimal Places").ValueText(), "1");
  SwitchTo(1);
  EXPECT_EQ(Find(places, "Decimal Places").ValueText(), "-1");  // the switch reaches the linked value
  step();
  EXPECT_EQ(Stored(memory), "0");
  SwitchTo(0);
  EXPECT_EQ(Find(places, "Decimal Places").ValueText(), "1");
  SwitchTo(1);
  EXPECT_EQ(Find(places, "Decimal Places").ValueText(), "0");
}

}  // namespace
}  // namespace krtest
