// The panel under the mouse and keyboard: knobs dragged by the pixel (finer
// with Ctrl), frames chosen from the value, click, toggle and step buttons,
// the capture that follows a drag out of the window, focus and the
// computer-keyboard receiver, double clicks by time, two views that keep
// their own state, tooltips after a rest of the pointer, and Tab order. The skin is made here: frame k of every image is filled
// with its own colour, so the frame shown can be read off the pixels.
#include <gtest/gtest.h>

#include "document/controls.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"
#include "gui/visual/layout.h"
#include "gui/visual/widgets.h"
#include "support/panel_rig.h"
#include "support/frame_skin.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using namespace kr::gui;

using krtest::FrameColour;

// Sliders show "knob_med", which each test draws as it needs.
const char* kPatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrEi", "panel_size": [300, 120], "about": "Input test" },
  "skins": [ { "name": "input", "path": "skins/input" } ],
  "root": { "skin": "input", "modules": [ { "module": "Container", "id": "top", "skin": "input", "modules": [
    { "module": "Slider", "id": "knob", "title": "K", "panel_rect": [10, 10, 60, 70], "control_values": [5] },
    { "module": "Slider", "id": "button", "title": "B", "panel_rect": [80, 10, 130, 70], "control_values": [0] },
    { "module": "Slider", "id": "full", "title": "F", "panel_rect": [150, 10, 200, 70], "control_values": [10] }
  ] } ] }
})";

// Records which parameters were armed for MIDI learn.
struct LearnValues : PanelValues {
  void ArmMidiLearn(generic_parameter& p) override { armed.push_back(&p); }
  std::vector<generic_parameter*> armed;
};

class EditorInput : public ::testing::Test {
 protected:
  // The panel with "knob_med" drawn in `frames` frames of 20 x 20 pixels.
  void Build(const char* response = "vertical", int frames = 64) {
    const auto skin = dir.path() / "skins" / "input";
    std::filesystem::create_directories(skin);
    krtest::WriteFrameKnob(skin, "knob_med", 20, frames, response);
    auto values = std::make_unique<LearnValues>();
    learn = values.get();
    rig = std::make_unique<krtest::PanelRig>(kPatch, dir.path(), -1, std::move(values));
    rig->view->SetClock([this] { return now; });
  }
  PanelView& View() { return *rig->view; }
  // The bitmap control of a module and its centre on the panel.
  CMyBmpCtrl& Control(const std::string& title) {
    CMyBmpCtrl* found = nullptr;
    krtest::WalkTree(View(), [&](CVisualOb& ob) {
      if (auto* c = dynamic_cast<CMyBmpCtrl*>(&ob); c && c->Parent() && Title(ob) == title) found = c;
    });
    EXPECT_NE(found, nullptr) << title;
    return *found;
  }
  static Point Centre(CVisualOb& ob) { return krtest::CentreOf(ob); }
  static float Parameter(CVisualOb& ob) {
    for (CVisualOb* o = &ob; o; o = o->Parent())
      if (auto* c = dynamic_cast<CControl*>(o->GetDocObject())) return c->Parameter().NormalisedValue();
    return -1;
  }
  Pixel PixelAt(Point p) { return rig->PixelAt(p); }
  void Click(Point p, std::uint32_t flags = 0) {
    now += 1000;
    View().MouseDown(p, flags);
    View().MouseUp(p, flags);
  }

  static std::string Title(CVisualOb& ob) {
    for (CVisualOb* o = &ob; o; o = o->Parent())
      if (auto* m = dynamic_cast<CUG*>(o->GetDocObject())) return m->Title();
    return {};
  }
  krtest::TempDir dir;
  std::unique_ptr<krtest::PanelRig> rig;
  LearnValues* learn = nullptr;
  std::uint32_t now = 5000;
};

TEST_F(EditorInput, KnobShowsItsFrameAndFollowsADragByThePixel) {
  Build();
  CMyBmpCtrl& knob = Control("K");
  const Point c = Centre(knob);
  EXPECT_EQ(knob.Position(), 32 * 20) << "(50 x 63 + 50) / 100 = frame 32";
  EXPECT_EQ(PixelAt(c), FrameColour(32));

  View().TakeInvalid();
  View().MouseDown(c, kLeftButton);
  View().MouseMove({c.x, c.y - 10}, kLeftButton);
  EXPECT_FLOAT_EQ(knob.Value(), 55.0f) << "0.5 per pixel";
  EXPECT_NEAR(Parameter(knob), 0.55f, 1e-6);
  EXPECT_EQ(PixelAt(c), FrameColour((55 * 63 + 50) / 100));
  EXPECT_EQ(View().TakeInvalid(), Rect::At(knob.RootPosition(), knob.GetRect().GetSize())) << "only the knob repaints";
  View().MouseMove({c.x, c.y - 20}, kLeftButton | kControl);
  EXPECT_FLOAT_EQ(knob.Value(), 56.0f) << "0.1 per pixel with Ctrl";
  View().MouseMove({c.x + 30, c.y - 20}, kLeftButton);
  EXPECT_FLOAT_EQ(knob.Value(), 56.0f) << "sideways does not turn a vertical knob";

  // Out of the window the capture keeps the gesture; the value stops at 100.
  View().MouseMove({c.x, -4000}, kLeftButton);
  EXPECT_FLOAT_EQ(knob.Value(), 100.0f);
  EXPECT_EQ(View().State().capture, &knob);
  View().MouseUp({-50, -4000}, 0);
  EXPECT_EQ(View().State().capture, nullptr);
  View().MouseMove({c.x, c.y + 50}, 0);
  EXPECT_FLOAT_EQ(knob.Value(), 100.0f) << "moves without the capture change nothing";
  EXPECT_FLOAT_EQ(Parameter(knob), 1.0f);
}

TEST_F(EditorInput, ClickButtonsReturnToZeroUnlessTheyToggle) {
  Build("click", 2);
  CMyBmpCtrl& button = Control("B");
  View().MouseDown(Centre(button), kLeftButton);
  EXPECT_FLOAT_EQ(Parameter(button), 1.0f);
  EXPECT_EQ(PixelAt(Centre(button)), FrameColour(1));
  View().MouseUp(Centre(button), 0);
  EXPECT_FLOAT_EQ(Parameter(button), 0.0f) << "a momentary button returns to 0";
  EXPECT_EQ(PixelAt(Centre(button)), FrameColour(0));

  // A toggle over the same parameter, beside the others in the panel.
  auto* box = button.Parent();
  auto* control = dynamic_cast<CControl*>(box->Parent()->GetDocObject());
  ASSERT_NE(control, nullptr);
  auto& toggle = static_cast<CMyBmpCtrl&>(View().Children().front()->AddChild(
      std::make_unique<CMyBmpCtrl>("knob_med", std::make_unique<control_mapper_bmc_param>(control->Parameter()), true)));
  toggle.SetRect({200, 90, 220, 110});
  toggle.Open();
  Click(Centre(toggle));
  EXPECT_FLOAT_EQ(Parameter(button), 1.0f);
  Click(Centre(toggle));
  EXPECT_FLOAT_EQ(Parameter(button), 0.0f) << "two presses return a toggle to 0";
  View().State().focus = nullptr;
  View().State().keyboardReceiver = &toggle;
  View().KeyDown(kKeySpace, 0);
  View().KeyUp(kKeySpace, 0);
  EXPECT_FLOAT_EQ(Parameter(button), 1.0f) << "Space presses as the mouse does";
}

TEST_F(EditorInput, StepControlsWrapPastTheLastFrame) {
  Build("step", 4);
  CMyBmpCtrl& step = Control("F");
  EXPECT_EQ(step.Position(), 3 * 20);
  Click(Centre(step));
  EXPECT_FLOAT_EQ(step.Value(), 0.0f) << "past the last of 4 frames: frame 0";
  Click(Centre(step));
  EXPECT_FLOAT_EQ(step.Value(), 33.0f);
  EXPECT_EQ(step.Position(), 1 * 20);
  EXPECT_EQ(PixelAt(Centre(step)), FrameColour(1));
}

TEST_F(EditorInput, FocusKeysDoubleClicksAndTheKeyboardReceiver) {
  Build();
  View().MouseDown({295, 115}, kLeftButton);  // empty panel
  View().MouseUp({295, 115}, 0);
  ASSERT_NE(View().State().focus, nullptr);
  EXPECT_EQ(View().State().focus, View().Children().front().get()) << "the panel takes the focus";

  // A receiver hears keys the focus object does not use.
  CMyBmpCtrl& knob = Control("K");
  View().State().keyboardReceiver = &knob;
  View().KeyDown(kKeyUp, 0);
  EXPECT_FLOAT_EQ(knob.Value(), 51.0f);
  View().State().focus = nullptr;
  View().KeyDown(kKeyDown, 0);
  EXPECT_FLOAT_EQ(knob.Value(), 50.0f) << "no focus: the view's own handler passes the key on";

  // A press 150 ms after the last is a double click: the time stays.
  now = 10000;
  View().MouseDown({295, 115}, kLeftButton);
  now = 10150;
  View().MouseDown({295, 115}, kLeftButton);
  EXPECT_EQ(View().State().lastPressMs, 10000u);
  now = 10400;
  View().MouseDown({295, 115}, kLeftButton);
  EXPECT_EQ(View().State().lastPressMs, 10400u);

  // Closing forgets every object.
  View().MouseDown(Centre(knob), kLeftButton);
  View().ClosePanel();
  EXPECT_EQ(View().State().capture, nullptr);
  EXPECT_EQ(View().State().focus, nullptr);
  EXPECT_EQ(View().State().keyboardReceiver, nullptr);
  View().MouseMove({10, 10}, kLeftButton);  // nothing to reach, nothing happens
}

TEST_F(EditorInput, ContextMenusOfferAboutOnThePanelAndMidiLearnOnControls) {
  Build();
  View().ContextMenuAt({250, 100});
  ASSERT_EQ(View().Menu().size(), 1u);
  EXPECT_EQ(View().Menu()[0].text, "About...");
  EXPECT_EQ(PixelAt({255, 104}), kButtonFace) << "the menu is drawn over the panel";
  View().MouseDown({255, 105}, kLeftButton);  // the item
  EXPECT_TRUE(View().Menu().empty());
  EXPECT_TRUE(View().AboutShown());
  View().MouseDown({20, 20}, kLeftButton);
  EXPECT_FALSE(View().AboutShown()) << "a press closes the about box";

  CMyBmpCtrl& knob = Control("K");
  View().ContextMenuAt(Centre(knob));
  ASSERT_EQ(View().Menu().size(), 1u);
  EXPECT_EQ(View().Menu()[0].text, "MIDI Learn");
  View().ChooseCommand(View().Menu()[0].id);
  ASSERT_EQ(learn->armed.size(), 1u);
  EXPECT_EQ(learn->armed[0], &dynamic_cast<CControl*>(knob.Parent()->Parent()->GetDocObject())->Parameter());
  EXPECT_EQ(View().State().contextMenuObject, nullptr);

  View().MouseDown(Centre(knob), kLeftButton);
  View().ContextMenuAt(Centre(knob));
  EXPECT_TRUE(View().Menu().empty()) << "no menu during a drag";
}

TEST_F(EditorInput, TwoViewsKeepTheirOwnCaptureAndFocus) {
  Build();
  krtest::PanelRig other(kPatch, dir.path());
  CMyBmpCtrl& knob = Control("K");
  View().MouseDown(Centre(knob), kLeftButton);
  EXPECT_EQ(View().State().capture, &knob);
  EXPECT_EQ(other.view->State().capture, nullptr);
  EXPECT_EQ(other.view->State().focus, nullptr);
  other.view->MouseMove({Centre(knob).x, 0}, kLeftButton);
  other.view->MouseUp({0, 0}, 0);
  EXPECT_EQ(View().State().capture, &knob) << "the other view's release is its own";
  EXPECT_FLOAT_EQ(knob.Value(), 50.0f);
}

// --- tooltips and Tab order ------------------------------------------------------------

// An object with a tooltip text of its own (or its parent's) and a tab index.
struct Spot : CVisualOb {
  Spot(int tab, std::uint32_t flags = 0, std::string tip = {}) : CVisualOb(nullptr, flags), text(std::move(tip)) {
    tabIndex = tab;
  }
  bool IsHitTarget() override { return true; }
  std::string GetToolTipText() override { return text.empty() ? CVisualOb::GetToolTipText() : text; }
  void OnKillFocus() override { ++lost, CVisualOb::OnKillFocus(); }
  std::string text;
  int lost = 0;
};

TEST_F(EditorInput, TooltipsShowAfterARestAndFollowThePointer) {
  Build();
  CMyBmpCtrl& knob = Control("K");
  const Point k = Centre(knob), f = Centre(Control("F"));
  const Pixel before = PixelAt({k.x + 4, k.y + 24});
  auto rest = [&](std::uint32_t ms) { now += ms, View().Idle(); };

  knob.ClearFlags(VF_HAS_TOOLTIP);
  View().MouseMove(k, 0);
  rest(1000);
  EXPECT_FALSE(View().TooltipShown()) << "no tooltip flag, no tip, text or not";
  knob.SetFlags(VF_HAS_TOOLTIP);

  View().MouseMove({k.x, k.y + 1}, 0);
  rest(499);
  EXPECT_FALSE(View().TooltipShown());
  View().TakeInvalid();
  rest(1);
  ASSERT_TRUE(View().TooltipShown());
  EXPECT_EQ(View().TooltipText(), "5.00") << "the knob's parameter text";
  const Rect tip = View().TooltipRect();
  EXPECT_EQ(tip.TopLeft(), (Point{k.x, k.y + 21})) << "under the pointer";
  EXPECT_EQ(View().TakeInvalid(), tip);
  EXPECT_EQ(PixelAt({tip.left + 1, tip.top + 1}), kInfoBackground) << "drawn over the panel";

  View().MouseMove(f, 0);
  ASSERT_TRUE(View().TooltipShown()) << "crossing into another object replaces the tip at once";
  EXPECT_EQ(View().TooltipText(), "10.00");
  const Rect second = View().TooltipRect();
  View().TakeInvalid();
  View().MouseMove({295, 115}, 0);
  EXPECT_FALSE(View().TooltipShown());
  EXPECT_EQ(View().TakeInvalid(), second);
  EXPECT_EQ(PixelAt({k.x + 4, k.y + 24}), before) << "the panel's pixels again";

  View().MouseMove(k, 0);
  rest(600);
  Click(k);
  EXPECT_FALSE(View().TooltipShown()) << "a press hides the tip";
  View().MouseMove({k.x + 1, k.y}, 0);
  rest(600);
  EXPECT_FALSE(View().TooltipShown()) << "and the object does not show it again";
  View().MouseMove(f, 0);
  rest(600);
  ASSERT_TRUE(View().TooltipShown());
  View().ClosePanel();
  EXPECT_EQ(View().State().tooltipObject, nullptr);
  EXPECT_FALSE(View().TooltipShown());
}

TEST_F(EditorInput, TooltipTextFromTheParentWrappedAndHeldInsideTheView) {
  Build();
  CVisualOb& outer = View().Children().front()->AddChild(
      std::make_unique<Spot>(-1, VF_HAS_TOOLTIP, "a tip long enough to take more than one line of tooltip"), true);
  outer.SetRect({220, 80, 300, 120});
  outer.AddChild(std::make_unique<Spot>(-1, VF_HAS_TOOLTIP | VF_TOOLTIP_FROM_PARENT)).SetRect({0, 0, 40, 40});
  outer.AddChild(std::make_unique<Spot>(-1, VF_HAS_TOOLTIP)).SetRect({40, 0, 80, 40});
  outer.Open();
  View().MouseMove({290, 110}, 0), now += 500, View().Idle();
  EXPECT_FALSE(View().TooltipShown()) << "an empty text shows nothing";
  View().MouseMove({230, 110}, 0), now += 500, View().Idle();
  EXPECT_EQ(View().TooltipText(), static_cast<Spot&>(outer).text) << "flag 0x80000 asks the parent";
  const Rect tip = View().TooltipRect();
  EXPECT_LE(tip.Width(), 128 + 6);
  EXPECT_GE(tip.Height(), 2 * FontOfStyle(Skin::DefaultStyle()).Height()) << "more than one line";
  EXPECT_EQ((Point{tip.right, tip.bottom}), (Point{300, 108})) << "held inside the view, above the pointer";
  View().MouseLeave();
  EXPECT_FALSE(View().TooltipShown());
}

TEST_F(EditorInput, TabEnterAndShiftTabFollowTheTabOrder) {
  Build();
  auto add = [](CVisualOb& parent, int tab) -> CVisualOb& { return parent.AddChild(std::make_unique<Spot>(tab)); };
  // panel -> a (not in the tab order) -> a1 (2), a2 (1), g (a group, 3) -> g1 (5), g2 (4), (-1)
  CVisualOb& a = add(*View().Children().front(), -1);
  CVisualOb& a1 = add(a, 2);
  CVisualOb& a2 = add(a, 1);
  CVisualOb& g = a.AddChild(std::make_unique<CGroup>());
  g.tabIndex = 3;
  CVisualOb& g1 = add(g, 5);
  CVisualOb& g2 = add(g, 4);
  add(g, -1);
  CVisualOb*& focus = View().State().focus;
  a2.SetFocus();
  const std::pair<int, std::uint32_t> keys[] = {{kKeyTab, 0}, {kKeyEnter, 0}, {kKeyTab, 0}, {kKeyTab, 0},
                                                {kKeyTab, kShift}, {kKeyTab, kShift}, {kKeyTab, kShift}};
  // Into the group at its lowest index, up out of it and round to the
  // smallest; back round to the largest (the group's highest with Shift).
  const CVisualOb* expected[] = {&a1, &g2, &g1, &a2, &g1, &g2, &a1};
  for (std::size_t i = 0; i < std::size(keys); ++i) {
    View().Char(keys[i].first, keys[i].second);
    EXPECT_EQ(focus, expected[i]) << "step " << i;
  }
  View().KeyDown(kKeyTab, 0);
  EXPECT_EQ(focus, &a1) << "the key moves nothing: its character does";

  auto& lone = static_cast<Spot&>(add(add(*View().Children().front(), -1), 0));
  lone.SetFocus();
  View().Char(kKeyTab, 0);
  EXPECT_EQ(focus, &lone);
  EXPECT_EQ(lone.lost, 1) << "round to itself: the focus goes away and comes back";
  add(add(*View().Children().front(), -1), -1).SetFocus();
  View().Char(kKeyTab, 0);
  EXPECT_EQ(focus, &View()) << "nothing in the tab order: the window takes the focus";
}

}  // namespace
