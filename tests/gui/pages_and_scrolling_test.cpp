// Tab boxes and scrolling sub-panels: a tab box shows only its selected
// page (drawn as the goldens hold it, and hit only there), a page outside
// its names shows nothing; a sub-panel's decorator scrolls by the wheel and
// its thumb, holds its position inside the content and stores it in the
// container. The goldens change only through their regeneration commands:
//   build/dev/kestrune panel tests/data/panels/golden_pages.json -o tests/gui/golden/golden_pages.png
//   build/dev/kestrune panel tests/data/panels/golden_pages.json --page 1 -o tests/gui/golden/golden_pages_1.png
#include <gtest/gtest.h>

#include "document/panel_objects.h"
#include "gui/panel/scroll_decorator.h"
#include "gui/panel/tab_box.h"
#include "gui/visual/widgets.h"
#include "support/panel_rig.h"

namespace krtest {

using namespace kr;
using kr::gui::Point;
using kr::gui::Rect;

class PagesPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& c : rig.document->root->Children())
      if (auto* t = DynamicKind<CContainer>(c.get())) top = t;
    ASSERT_NE(top, nullptr);
    for (const auto& c : top->Children()) {
      if (auto* b = DynamicKind<CTabBox>(c.get())) box = b;
      if (auto* i = DynamicKind<CContainer>(c.get())) inner = i;
    }
    ASSERT_NE(box, nullptr);
    ASSERT_NE(inner, nullptr);
    tabs = FindWidget<kr::gui::CTabBoxWnd>(*rig.view);
    scroll = FindWidget<kr::gui::ScrollDecorator>(*rig.view);
    ASSERT_NE(tabs, nullptr);
    ASSERT_NE(scroll, nullptr);
  }
  void ShowPage(const std::string& page) {
    box->PagePlug()->SetValueText(page);
    rig.view->Refresh();
  }
  // The document object whose visual is hit at p (panel coordinates).
  const CDocOb* DocumentAt(Point p) {
    for (CVisualOb* o = rig.view->HitTestAt(p); o; o = o->Parent())
      if (o->GetDocObject()) return o->GetDocObject();
    return nullptr;
  }
  const CDocOb* Module(const char* title) {
    for (const auto& c : top->Children())
      if (c->Title() == title) return c.get();
    return nullptr;
  }
  void ExpectGolden(const char* name) {
    EXPECT_EQ(PixelsDifferingFromGolden(rig, name), 0) << name << ": regenerate only on purpose (see the top of this file)";
  }

  PanelRig rig{ReadText(kGuiData / "golden_pages.json")};
  CContainer* top = nullptr;
  CContainer* inner = nullptr;
  CTabBox* box = nullptr;
  kr::gui::CTabBoxWnd* tabs = nullptr;
  kr::gui::ScrollDecorator* scroll = nullptr;
};

TEST_F(PagesPanel, EachPageDrawsAsItsGoldenAndOnlyItsObjectsAreHit) {
  ExpectGolden("golden_pages");
  // Page 0 lists the sliders A and B; page 1 the LED and the meter, at the
  // same places: the point lies on A's knob and on the LED.
  const Point knobA{28, 44}, led{28, 44};
  EXPECT_EQ(DocumentAt(knobA), Module("A"));
  ShowPage("1");
  EXPECT_EQ(tabs->ShownPage(), 1);
  ExpectGolden("golden_pages_1");
  EXPECT_EQ(DocumentAt(led), Module("On"));
  for (const auto& c : tabs->Children())
    EXPECT_TRUE(c->GetDocObject() == Module("On") || c->GetDocObject() == Module("Peak"));
  ShowPage("0");
  EXPECT_EQ(DocumentAt(knobA), Module("A")) << "back on the first page";
}

TEST_F(PagesPanel, APageOutsideTheNamesShowsNothingAndRenamingRebuilds) {
  for (const char* page : {"-1", "99999999999", "2"}) {
    ShowPage(page);
    EXPECT_EQ(tabs->ShownPage(), -1) << page;
    EXPECT_TRUE(tabs->Children().empty()) << page;
  }
  // A third name makes page 2 a page (it lists nothing).
  box->FindPlug("Page Names")->SetValueText("Knobs,Meters,Empty");
  rig.view->Refresh();
  EXPECT_EQ(tabs->ShownPage(), 2);
  EXPECT_EQ(box->PagePlug()->ItemList(), "Knobs,Meters,Empty") << "the page's list follows the names";
  // Objects a tab box lists are left out of the panel around it.
  int onPanel = 0;
  WalkTree(*rig.view, [&](CVisualOb& o) { onPanel += o.GetDocObject() == Module("A"); });
  EXPECT_EQ(onPanel, 0);
}

TEST_F(PagesPanel, TheSubPanelStartsWhereItsContainerStoresAndScrollsWithinTheContent) {
  EXPECT_EQ(scroll->GetScrollOrigin(), (Point{0, 40})) << "the stored position";
  EXPECT_TRUE(scroll->ShowsBar(1));
  EXPECT_FALSE(scroll->ShowsBar(0)) << "the content is narrower than the sub-panel";
  const int limit = scroll->Overflow().height;
  ASSERT_GT(limit, 40);
  const Point middle = CentreOf(*scroll);
  rig.view->MouseWheel(middle, kr::gui::ScrollDecorator::kWheelNotch);
  EXPECT_EQ(scroll->GetScrollOrigin().y, 0) << "a notch up scrolls 120 pixels, held at 0";
  rig.view->MouseWheel(middle, -3 * kr::gui::ScrollDecorator::kWheelNotch);
  EXPECT_EQ(scroll->GetScrollOrigin().y, limit) << "held at the overflow";
  EXPECT_EQ(inner->scrollPositions[0].y, limit) << "stored in the container for the panel view";
  const Rect t = scroll->Thumb(1);
  const Point at = scroll->RootPosition();
  const Point grab{at.x + t.left + t.Width() / 2, at.y + t.top + t.Height() / 2};
  rig.view->MouseDown(grab, kr::gui::kLeftButton);
  rig.view->MouseMove({grab.x, grab.y - 1000}, kr::gui::kLeftButton);
  rig.view->MouseUp({grab.x, grab.y - 1000}, 0);
  EXPECT_EQ(scroll->GetScrollOrigin().y, 0) << "dragging the thumb to the top";
}

TEST_F(PagesPanel, HitsInsideTheSubPanelFollowTheScrollPosition) {
  const CDocOb* y = nullptr;
  for (const auto& c : inner->Children())
    if (c->Title() == "Y") y = c.get();
  ASSERT_NE(y, nullptr);
  CVisualOb* yBox = nullptr;
  WalkTree(*scroll, [&](CVisualOb& o) {
    if (!yBox && o.GetDocObject() == y) yBox = &o;
  });
  ASSERT_NE(yBox, nullptr);
  const Point before = CentreOf(*yBox);
  EXPECT_EQ(DocumentAt(before), y);
  scroll->ScrollTo({0, 0});
  EXPECT_EQ(CentreOf(*yBox).y, before.y + 40) << "the box moved down with the scroll";
  EXPECT_EQ(DocumentAt(CentreOf(*yBox)), y);
}

}  // namespace krtest
