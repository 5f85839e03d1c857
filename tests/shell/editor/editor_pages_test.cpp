// Tab boxes and sub-panels in a real X11 window: a list entry wired to a
// tab box's "Page" switches pages and a drag reaches only the knob of the
// page shown; the program bar of a sub-panel steps its container's program;
// the wheel scrolls the sub-panel. Runs under an Xvfb the test starts;
// skipped without Xvfb.
#include <gtest/gtest.h>

#if KR_HAVE_X11

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "document/container.h"
#include "document/panel_objects.h"
#include "editor_support.h"
#include "gui/panel/patch_sel_bar.h"
#include "gui/panel/scroll_decorator.h"
#include "gui/panel/tab_box.h"
#include "gui/visual/panel_objects.h"
#include "support/panel_rig.h"
#include "support/xvfb.h"

namespace krtest {

using namespace kr;

namespace {

// Page 0 ("Left") holds knob "a", page 1 ("Right") knob "b", at the same
// place; "choose" chooses the page. "Inner" holds a "Patch Select" and
// shows in the sub-panel on the right, taller than it.
const char* kPagesPanel = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrEp", "panel_size": [300, 160], "instrument": true, "programs": 4 },
  "skins": [ { "name": "editor", "path": "skins/editor" } ],
  "root": { "skin": "editor", "modules": [ {
    "module": "Container", "id": "synth", "title": "Synth", "skin": "editor",
    "modules": [
      { "module": "Paged Group", "id": "tabs", "panel_rect": [10, 10, 110, 80],
        "values": { "Page": "0", "Page Names": "Left,Right" }, "pages": { "a": 0, "b": 1 } },
      { "module": "Image", "id": "a", "panel_rect": [40, 20, 60, 40], "values": {"Filename": "knob_big"} },
      { "module": "Image", "id": "b", "panel_rect": [40, 20, 60, 40], "values": {"Filename": "knob_big"} },
      { "module": "List Entry2", "id": "choose", "panel_rect": [10, 100, 110, 120] },
      { "module": "Container", "id": "inner", "title": "Inner", "skin": "editor", "panel_rect": [400, 0, 420, 20],
        "modules": [
          { "module": "Patch Select", "id": "select" },
          { "module": "Slider", "id": "s", "title": "S", "panel_rect": [10, 200, 60, 260] }
        ] },
      { "sub_panel": "Inner", "rect": [120, 10, 295, 150] }
    ],
    "wires": [ { "from": "choose.List", "to": "tabs.Page" } ]
  } ] }
})";

class EditorPages : public EditorPlugin {
 protected:
  void SetUp() override {
    if (!x.Connection()) GTEST_SKIP() << "Xvfb is not installed (or did not start): the X11 window is not tested";
    Display* d = x.Connection();
    parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 300, 160, 0, 0, 0);
    XMapWindow(d, parent);
    XSync(d, False);
    ASSERT_TRUE(Open(kPagesPanel));
    ASSERT_EQ(host.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_NE(Editor()->Window(), nullptr);
    host.Dispatch(vst::effEditIdle);
  }
  ::Window Child() { return static_cast<::Window>(Editor()->Window()->Handle()); }
  void Button(int type, long mask, kr::gui::Point p, unsigned button, unsigned state) {
    XEvent e{};
    e.xbutton.type = type;
    e.xbutton.display = x.Connection();
    e.xbutton.window = Child();
    e.xbutton.x = p.x;
    e.xbutton.y = p.y;
    e.xbutton.button = button;
    e.xbutton.state = state;
    XSendEvent(x.Connection(), Child(), False, mask, &e);
  }
  void Deliver() {
    XSync(x.Connection(), False);
    host.Dispatch(vst::effEditIdle);
  }
  void Click(kr::gui::Point p) {
    Button(ButtonPress, ButtonPressMask, p, Button1, 0);
    Button(ButtonRelease, ButtonReleaseMask, p, Button1, Button1Mask);
    Deliver();
  }
  // Ten pixels up from p: a knob at 0 moves to 0.05.
  void DragUp(kr::gui::Point p) {
    Button(ButtonPress, ButtonPressMask, p, Button1, 0);
    XEvent e{};
    e.xmotion.type = MotionNotify;
    e.xmotion.window = Child();
    e.xmotion.x = p.x;
    e.xmotion.y = p.y - 10;
    e.xmotion.state = Button1Mask;
    XSendEvent(x.Connection(), Child(), False, PointerMotionMask, &e);
    Button(ButtonRelease, ButtonReleaseMask, {p.x, p.y - 10}, Button1, Button1Mask);
    Deliver();
  }
  void Key(KeySym key) {
    XEvent e{};
    e.xkey.type = KeyPress;
    e.xkey.window = Child();
    e.xkey.keycode = XKeysymToKeycode(x.Connection(), key);
    XSendEvent(x.Connection(), Child(), False, KeyPressMask, &e);
    Deliver();
  }
  CTabBox& Box() {
    auto* tabs = FindWidget<kr::gui::CTabBoxWnd>(Editor()->View());
    if (!tabs) throw std::logic_error("no tab box");
    return *static_cast<CTabBox*>(tabs->GetDocObject());
  }
  CContainer& Synth() { return *Box().Parent(); }
  // The "Animation Position" of the knob listed for a page.
  float Position(int page) {
    for (const auto& [ob, listed] : Box().tabs)
      if (listed == page) return static_cast<float>(std::atof(static_cast<CUG*>(ob)->FindPlug("Animation Position")->ValueText().c_str()));
    return -1;
  }
  krtest::Xvfb x;
  ::Window parent = 0;
};

}  // namespace

TEST_F(EditorPages, AListEntryWiredToThePageSwitchesPagesAndDragsReachOnlyTheShownKnob) {
  const kr::gui::Point knob{50, 30}, list{60, 110};
  auto* tabs = FindWidget<kr::gui::CTabBoxWnd>(Editor()->View());
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->ShownPage(), 0);
  DragUp(knob);
  EXPECT_NEAR(Position(0), 0.05f, 1e-6);
  EXPECT_EQ(Position(1), 0.0f) << "the knob of the hidden page stays";

  Click(list);  // the list of pages drops down, "Left" highlighted
  Key(XK_Down);
  Key(XK_Return);
  EXPECT_EQ(Box().PagePlug()->ValueText(), "1");
  EXPECT_EQ(tabs->ShownPage(), 1) << "rebuilt on the next idle";
  const float before = Position(0);
  DragUp(knob);
  EXPECT_NEAR(Position(1), 0.05f, 1e-6);
  EXPECT_EQ(Position(0), before) << "the first page's knob is not hit any more";
  host.Close();
}

TEST_F(EditorPages, TheProgramBarStepsTheSubPanelsContainerAndTheWheelScrollsIt) {
  auto* bar = FindWidget<kr::gui::CPatchSelDecorator>(Editor()->View());
  ASSERT_NE(bar, nullptr);
  std::vector<CVisualOb*> items;
  for (const auto& c : bar->Bar().Children()) items.push_back(c.get());
  std::sort(items.begin(), items.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
  ASSERT_GE(items.size(), 2u);
  CContainer* inner = nullptr;
  for (const auto& c : Synth().Children())
    if (auto* i = DynamicKind<CContainer>(c.get())) inner = i;
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->CurrentProgram(), 0);
  Click(CentreOf(*items[1]));  // "arrow_right"
  Click(CentreOf(*items[1]));
  EXPECT_EQ(inner->CurrentProgram(), 2);
  Click(CentreOf(*items[0]));  // "arrow_left"
  EXPECT_EQ(inner->CurrentProgram(), 1);

  auto* scroll = FindWidget<kr::gui::ScrollDecorator>(Editor()->View());
  ASSERT_NE(scroll, nullptr);
  ASSERT_GT(scroll->Overflow().height, 0);
  const kr::gui::Point middle = CentreOf(*scroll);
  Button(ButtonPress, ButtonPressMask, middle, Button5, 0);  // a notch towards the user
  Deliver();
  EXPECT_EQ(scroll->GetScrollOrigin().y, std::min(120, scroll->Overflow().height));
  Button(ButtonPress, ButtonPressMask, middle, Button4, 0);
  Deliver();
  EXPECT_EQ(scroll->GetScrollOrigin().y, 0);
  host.Close();
}

}  // namespace krtest

#endif
