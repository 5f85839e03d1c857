// The standard controls under the mouse and keys, through the panel view:
// the edit box (typing, Enter, Escape, losing the focus, read-only), the
// combo box and its drop-down list, the trackbar, the push, browse and
// up-down buttons, the image's "Mouse Down" and "Frame Count", the text
// label that edits in place, the list entry that drops down.
#include <gtest/gtest.h>


#include "document/controls.h"
#include "gui/draw/system_colours.h"
#include "gui/panel/keyboard_panel.h"
#include "gui/visual/drop_down.h"
#include "gui/visual/owner_drawn.h"
#include "gui/visual/widgets.h"
#include "support/panel_rig.h"
#include "support/frame_skin.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using namespace kr::gui;

const char* kControlsPatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrSc", "panel_size": [400, 300] },
  "skins": [ { "name": "input", "path": "skins/input" } ],
  "root": { "skin": "input", "modules": [ { "module": "Container", "id": "top", "skin": "input", "modules": [
    { "module": "Slider", "id": "knob", "title": "K", "panel_rect": [10, 10, 60, 70], "control_values": [5] },
    { "module": "Text Entry", "id": "name", "title": "Name", "panel_rect": [80, 10, 220, 50], "control_values": ["hello"] },
    { "module": "KeyBoard", "id": "keys", "title": "Keys", "panel_rect": [10, 230, 250, 290] },
    { "module": "Text Entry2", "id": "label", "panel_rect": [240, 10, 380, 40], "values": { "Text": "edit me" } },
    { "module": "Image", "id": "image", "panel_rect": [240, 60, 260, 80], "values": { "Filename": "knob_med" } }
  ] } ] }
})";

// A parameter of a few or many items, or a range.
class ListParameter final : public generic_parameter {
 public:
  ListParameter(std::string items, std::string value) : items_(std::move(items)), value_(std::move(value)) {}
  std::string ValueText() const override { return value_; }
  void SetValueText(std::string_view text) override {
    value_ = std::string(text);
    ++writes;
  }
  std::string Name() const override { return "List"; }
  int DataType() const override { return DT_ENUM; }
  std::string ItemList() const override { return items_; }
  int writes = 0;

 private:
  std::string items_;
  std::string value_;
};

class StandardControls : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto skin = dir.path() / "skins" / "input";
    std::filesystem::create_directories(skin);
    krtest::WriteFrameKnob(skin, "knob_med", 20, 64, "vertical");
    rig = std::make_unique<krtest::PanelRig>(kControlsPatch, dir.path());
    View().SetClock([this] { return now; });
  }
  PanelView& View() { return *rig->view; }
  // The container's panel: the last of the view's children (lists drop down in front).
  CVisualOb& Panel() { return *View().Children().back(); }
  CUG& Module(const std::string& title) { return krtest::ModuleTitled(*rig->document, title); }
  generic_parameter& Control(const std::string& title) { return dynamic_cast<CControl&>(Module(title)).Parameter(); }
  // The first widget of exactly that class.
  template <class W>
  W& Find() {
    W* found = krtest::FindWidget<W>(View());
    if (!found) throw std::runtime_error("widget not found");
    return *found;
  }
  // A widget of the test's own on the panel at r.
  template <class W>
  W& Place(std::unique_ptr<W> widget, Rect r) {
    auto& w = static_cast<W&>(Panel().AddChild(std::move(widget), true));
    w.SetRect(r);
    w.Open();
    return w;
  }
  static Point Centre(CVisualOb& ob) { return krtest::CentreOf(ob); }
  static Point At(CVisualOb& ob, int x, int y) {
    const Point p = ob.RootPosition();
    return {p.x + x, p.y + y};
  }
  void Click(Point p, std::uint32_t flags = 0) {
    now += 1000;
    View().MouseDown(p, flags | kLeftButton);
    View().MouseUp(p, flags);
  }
  void Type(const std::string& text) {
    for (char c : text) View().Char(static_cast<unsigned char>(c), 0);
  }
  Pixel PixelAt(Point p) { return rig->PixelAt(p); }

  krtest::TempDir dir;
  std::unique_ptr<krtest::PanelRig> rig;
  std::uint32_t now = 5000;
};

TEST_F(StandardControls, EditBoxTypesCommitsOnEnterAndFocusLossAndCancelsOnEscape) {
  CMyEdit& edit = Find<CMyEdit>();
  generic_parameter& name = Control("Name");
  Click(Centre(edit));
  ASSERT_TRUE(edit.Editing());
  EXPECT_EQ(View().State().focus, &edit);
  EXPECT_EQ(edit.Line().SelectionEnd() - edit.Line().SelectionBegin(), 5u) << "all of \"hello\" selected";
  Type("ab");
  EXPECT_EQ(edit.Line().Text(), "ab") << "typing replaces the selection";
  EXPECT_EQ(name.ValueText(), "hello") << "nothing written while typing";
  View().Char(kKeyEnter, 0);
  EXPECT_EQ(name.ValueText(), "ab");
  EXPECT_TRUE(edit.Editing()) << "Enter writes and goes on editing";

  View().KeyDown(kKeyEnd, 0);
  Type("cd");
  View().Char(kKeyBackspace, 0);
  View().KeyDown(kKeyLeft, 0);
  View().KeyDown(kKeyDelete, 0);
  EXPECT_EQ(edit.Line().Text(), "ab");
  Type("\xE9");  // a Latin-1 character as the window reports it
  EXPECT_EQ(edit.Line().Text(), "ab\xC3\xA9") << "stored as UTF-8";
  View().Char(kKeyEscape, 0);
  EXPECT_EQ(edit.Line().Text(), "ab") << "Escape puts the value's text back";
  EXPECT_EQ(name.ValueText(), "ab");

  // Keys typed into the box never reach the computer-keyboard receiver.
  CMyOwnerDrawn2& keys = Find<CMyOwnerDrawn2>();
  ASSERT_EQ(View().State().keyboardReceiver, &keys);
  View().KeyDown('Z', 0);
  EXPECT_FALSE(static_cast<KeyboardPanel&>(keys.Drawn()).Down(48));

  Type("x");
  Click({395, 200});  // the panel: the box loses the focus and writes
  EXPECT_FALSE(edit.Editing());
  EXPECT_EQ(name.ValueText(), "x");

  edit.SetFlags(VF_READ_ONLY);
  Click(Centre(edit));
  EXPECT_FALSE(edit.Editing()) << "a read-only box only shows";
  Type("y");
  EXPECT_EQ(name.ValueText(), "x");
}

TEST_F(StandardControls, TypedNumbersMoveTheControlAndTabWrites) {
  generic_parameter& knob = Control("K");
  auto& readout = Place(std::make_unique<CMyEdit>(knob, 6), {80, 150, 160, 170});
  readout.tabIndex = 1;
  Place(std::make_unique<CMyEdit>(knob, 6), {80, 180, 160, 200}).tabIndex = 2;
  CMyBmpCtrl& widget = Find<CMyBmpCtrl>();
  Click(Centre(readout));
  Type("7.5");
  View().Char(kKeyTab, 0);
  EXPECT_FLOAT_EQ(knob.NormalisedValue(), 0.75f) << "Tab writes as it leaves";
  View().Refresh();
  EXPECT_FLOAT_EQ(widget.Value(), 75.0f) << "the knob follows the typed value";
}

TEST_F(StandardControls, ComboBoxDropsDownItsItemsAndChoosesOne) {
  CPlug2& channel = *Module("Keys").FindPlug("Channel");
  auto& combo = Place(std::make_unique<CMyCombobox>(channel), {80, 60, 160, 80});
  Click(Centre(combo));
  auto* list = dynamic_cast<CDropDownList*>(View().State().popup);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(View().Children().front().get(), list) << "in front of the panel";
  EXPECT_EQ(list->Items().size(), 16u);
  EXPECT_EQ(list->Highlighted(), 0) << "on the current item";
  const Rect row2 = list->RowRect(2);
  const Point onRow2 = At(*list, row2.left + 5, row2.top + 3);
  EXPECT_EQ(list->GetRect().top, 80) << "under the box";
  View().MouseMove(onRow2, 0);
  EXPECT_EQ(list->Highlighted(), 2);
  EXPECT_EQ(PixelAt(At(*list, row2.right - 8, row2.top + 1)), Rgb(51, 102, 204)) << "the highlighted row is drawn";
  Click(onRow2);
  EXPECT_EQ(channel.ValueText(), "2") << "the third item: channel 3";
  EXPECT_EQ(View().State().popup, nullptr);
  EXPECT_EQ(View().Children().size(), 1u) << "the closed list is gone";

  // With the focus, the arrow keys step; Space opens, Escape closes choosing nothing.
  View().KeyDown(kKeyDown, 0);
  EXPECT_EQ(channel.ValueText(), "3");
  View().KeyDown(kKeySpace, 0);
  ASSERT_NE(View().State().popup, nullptr);
  View().KeyDown(kKeyDown, 0);
  View().KeyDown(kKeyEscape, 0);
  EXPECT_EQ(View().State().popup, nullptr);
  EXPECT_EQ(channel.ValueText(), "3");
  // A press outside the list closes it too; Enter chooses the highlighted row.
  Click(Centre(combo));
  View().MouseDown({395, 295}, kLeftButton);
  EXPECT_EQ(View().State().popup, nullptr);
  View().MouseUp({395, 295}, 0);
  Click(Centre(combo));
  View().KeyDown(kKeyEnd, 0);
  View().KeyDown(kKeyEnter, 0);
  EXPECT_EQ(channel.ValueText(), "15");
}

TEST_F(StandardControls, LongListsScrollAndHoldInsideThePanel) {
  std::string items = "range 0,199";
  ListParameter many(items, "150");
  auto& combo = Place(std::make_unique<CMyCombobox>(many), {300, 260, 380, 280});
  Click(Centre(combo));
  auto* list = dynamic_cast<CDropDownList*>(View().State().popup);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Items().size(), 200u);
  EXPECT_LT(list->RowsShown(), 200);
  EXPECT_LE(list->GetRect().bottom, 260) << "no room below: above the box";
  EXPECT_GE(list->GetRect().top, 0);
  EXPECT_LE(list->GetRect().right, 400);
  EXPECT_EQ(list->Highlighted(), 150);
  EXPECT_TRUE(list->FirstShown() <= 150 && 150 < list->FirstShown() + list->RowsShown());
  View().KeyDown(kKeyHome, 0);
  EXPECT_EQ(list->FirstShown(), 0);
  // Dragging below the list scrolls it on.
  const Point below{list->RootPosition().x + 5, list->GetRect().bottom + 5};
  View().MouseMove(below, kLeftButton);
  EXPECT_EQ(list->Highlighted(), list->RowsShown());
  EXPECT_EQ(list->FirstShown(), 1);
  View().MouseUp(below, 0);
  EXPECT_NE(View().State().popup, nullptr) << "a release outside the rows chooses nothing";
  const int chosen = list->Highlighted();
  View().KeyDown(kKeyEnter, 0);
  EXPECT_EQ(many.ValueText(), std::to_string(chosen)) << "a range's values are its rows";
}

TEST_F(StandardControls, TrackbarDragsPagesAndSteps) {
  generic_parameter& knob = Control("K");
  auto& slider = Place(std::make_unique<CMySliderCtrl>(knob), {170, 80, 200, 180});
  EXPECT_EQ(slider.Position(), 50) << "5 of 0..10: the middle";
  const Rect thumb = slider.Thumb();
  const Point grab = At(slider, 15, thumb.top + 3);
  View().MouseDown(grab, kLeftButton);
  View().MouseMove({grab.x, grab.y - 45}, kLeftButton);
  EXPECT_EQ(slider.Position(), 0);
  EXPECT_FLOAT_EQ(knob.NormalisedValue(), 1.0f) << "the top is the highest value";
  View().MouseMove({grab.x + 40, grab.y + 400}, kLeftButton);
  EXPECT_EQ(slider.Position(), 100) << "held to the ends, wherever the pointer goes";
  View().MouseUp({grab.x, grab.y}, 0);
  EXPECT_FLOAT_EQ(knob.NormalisedValue(), 0.0f);
  Click(At(slider, 15, 10));  // above the thumb: a page up
  EXPECT_EQ(slider.Position(), 90);
  View().KeyDown(kKeyUp, 0);
  EXPECT_EQ(slider.Position(), 89);
  View().KeyDown(kKeyPageDown, 0);
  View().KeyDown(kKeyRight, 0);
  EXPECT_EQ(slider.Position(), 100);
  View().KeyDown(kKeyHome, 0);
  EXPECT_FLOAT_EQ(knob.NormalisedValue(), 1.0f);
  knob.SetValueText("2.5");
  View().Refresh();
  EXPECT_EQ(slider.Position(), 75) << "follows a value set elsewhere";
}

TEST_F(StandardControls, PushButtonsSetOneWhileHeld) {
  generic_parameter& knob = Control("K");
  std::vector<float> heard;
  auto& button = Place(std::make_unique<CMyButton>("Go", &knob, [&](float v) { heard.push_back(v); }), {170, 200, 220, 220});
  View().MouseDown(Centre(button), kLeftButton);
  EXPECT_FLOAT_EQ(knob.NormalisedValue(), 1.0f);
  EXPECT_TRUE(button.Pressed());
  View().MouseUp({0, 0}, 0);
  EXPECT_FLOAT_EQ(knob.NormalisedValue(), 0.0f) << "released anywhere";
  View().KeyDown(kKeySpace, 0);
  View().KeyDown(kKeySpace, kKeyRepeat);
  EXPECT_FLOAT_EQ(knob.NormalisedValue(), 1.0f);
  View().KeyUp(kKeySpace, 0);
  EXPECT_EQ(heard, (std::vector<float>{1, 0, 1, 0})) << "a held Space presses once";
}

TEST_F(StandardControls, BrowseButtonWritesTheChosenFile) {
  generic_parameter& name = Control("Name");
  std::vector<FileChoice> asked;
  std::optional<std::string> answer = "take.wav";
  View().SetFileChooser([&](const FileChoice& c) {
    asked.push_back(c);
    return answer;
  });
  auto& browse = Place(std::make_unique<CMyBrowseButton>(EditBinding::Of(name), "wav"), {170, 230, 192, 248});
  View().MouseDown(Centre(browse), kLeftButton);
  EXPECT_TRUE(asked.empty()) << "the dialog opens on the release";
  View().MouseUp(Centre(browse), 0);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].initialName, "hello");
  EXPECT_EQ(asked[0].extension, "wav");
  EXPECT_EQ(name.ValueText(), "take.wav");
  answer.reset();
  Click(Centre(browse));
  EXPECT_EQ(name.ValueText(), "take.wav") << "cancelled: nothing changes";
}

TEST_F(StandardControls, UpDownArrowsStepWithinTheRange) {
  ListParameter range("range 2,4", "3");
  auto& spin = Place(std::make_unique<CMySpinButtonCtrl>(range), {300, 150, 314, 168});
  EXPECT_EQ(spin.Low(), 2);
  EXPECT_EQ(spin.High(), 4);
  Click(At(spin, 7, 2));
  EXPECT_EQ(range.ValueText(), "4");
  Click(At(spin, 7, 2));
  EXPECT_EQ(range.writes, 1) << "held at the top";
  Click(At(spin, 7, 16));
  View().KeyDown(kKeyDown, 0);
  View().KeyDown(kKeyDown, 0);
  EXPECT_EQ(range.ValueText(), "2");
  ListParameter plain("1,2,3", "1");
  auto& other = Place(std::make_unique<CMySpinButtonCtrl>(plain), {320, 150, 334, 168});
  EXPECT_EQ(other.Low(), 1);
  EXPECT_EQ(other.High(), 128) << "no range: 1 .. 128";
}

TEST_F(StandardControls, ImagesWriteMouseDownAndFrameCount) {
  CUG& image = Module("Image");
  EXPECT_EQ(image.FindPlug("Frame Count")->ValueText(), "64") << "written when the image opened";
  CMyBmpCtrl2& widget = Find<CMyBmpCtrl2>();
  View().MouseDown(Centre(widget), kLeftButton);
  EXPECT_EQ(image.FindPlug("Mouse Down")->ValueText(), "1");
  View().MouseUp({0, 0}, 0);
  EXPECT_EQ(image.FindPlug("Mouse Down")->ValueText(), "0");
}

TEST_F(StandardControls, TextLabelsEditInPlaceUnlessReadOnly) {
  CUG& label = Module("Text Entry2");
  CMyTextLabel2& widget = Find<CMyTextLabel2>();
  Click(Centre(widget));
  ASSERT_EQ(widget.Children().size(), 1u);
  auto* edit = dynamic_cast<CMyEdit2*>(widget.Children().front().get());
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->IsOpen());
  EXPECT_EQ(View().State().focus, edit);
  EXPECT_EQ(edit->GetRect(), widget.GetClientRect()) << "over the label";
  Type("new");
  View().Char(kKeyEnter, 0);
  EXPECT_EQ(label.FindPlug("Text")->ValueText(), "new");
  EXPECT_FALSE(edit->IsOpen()) << "Enter ends the editing";
  EXPECT_EQ(View().State().focus, &widget);

  Click(Centre(widget));
  EXPECT_TRUE(edit->IsOpen()) << "the same box again";
  Type("gone");
  View().Char(kKeyEscape, 0);
  EXPECT_FALSE(edit->IsOpen());
  EXPECT_EQ(label.FindPlug("Text")->ValueText(), "new") << "Escape writes nothing";

  label.FindPlug("Mode")->SetValueText("1");  // "Read-Only"
  Click(Centre(widget));
  EXPECT_FALSE(edit->IsOpen());
  EXPECT_EQ(View().State().capture, nullptr);
}

TEST_F(StandardControls, ListEntriesDropDownTheirList) {
  CPlug2& channel = *Module("Keys").FindPlug("Channel");
  auto& entry = Place(std::make_unique<CMyListEntry>(&channel, nullptr), {240, 100, 380, 130});
  View().MouseDown(Centre(entry), kLeftButton);
  EXPECT_EQ(View().State().popup, nullptr) << "the list drops down on the release";
  View().MouseUp(Centre(entry), 0);
  auto* list = dynamic_cast<CDropDownList*>(View().State().popup);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->Items().size(), 16u) << "the channel's items";
  EXPECT_EQ(list->Items()[5], "6");
  const Rect row = list->RowRect(5);
  ASSERT_FALSE(row.Empty());
  Click(At(*list, row.left + 4, row.top + 2));
  EXPECT_EQ(channel.ValueText(), "5");
}

}  // namespace
