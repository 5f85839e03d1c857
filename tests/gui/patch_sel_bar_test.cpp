// Sub-panels and the patch-selection bar: a portal shows the container it
// names, with the bar when that container holds a "Patch Select"; the bar's
// buttons step and choose programs, and its menus drop down. Trigger mappers
// fire once per press.
#include <gtest/gtest.h>

#include "document/panel_objects.h"
#include "gui/panel/patch_sel_bar.h"
#include "gui/panel/portal.h"
#include "gui/panel/scroll_decorator.h"
#include "gui/visual/drop_down.h"
#include "gui/visual/panel_objects.h"
#include "gui/visual/widgets.h"
#include "support/panel_rig.h"

using namespace kr;

namespace {

using namespace kr::gui;

const char* kPortalPatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrPo", "panel_size": [400, 300] },
  "root": { "modules": [ { "module": "Container", "id": "top", "title": "Top", "modules": [
    { "module": "Container", "id": "sub", "title": "Sub", "modules": [
      { "module": "Patch Select", "id": "select" },
      { "module": "Slider", "id": "s", "title": "S", "panel_rect": [10, 10, 60, 70], "control_values": [5] }
    ] },
    { "module": "Container", "id": "plain", "title": "Plain", "modules": [
      { "module": "Slider", "id": "p", "title": "P", "panel_rect": [10, 10, 60, 70] }
    ] }
  ] } ] }
})";

class SubPanels : public ::testing::Test {
 protected:
  // The top container with portals to "Sub", "Plain" and "Top" itself.
  void SetUp() override {
    rig = std::make_unique<krtest::PanelRig>(kPortalPatch);
    for (const auto& c : rig->document->root->Children())
      if (auto* t = DynamicKind<CContainer>(c.get())) top = t;
    ASSERT_NE(top, nullptr);
    for (const auto& c : top->Children())
      if (auto* s = DynamicKind<CContainer>(c.get()); s && s->Title() == "Sub") sub = s;
    ASSERT_NE(sub, nullptr);
    AddPortal("Sub", {0, 100, 300, 260});
    AddPortal("Plain", {300, 100, 400, 200});
    AddPortal("Top", {300, 200, 400, 300});
    rig->view->OpenPanel();
    rig->view->SetClock([this] { return now += 1000; });
  }
  void AddPortal(const char* name, DocRect r) {
    auto portal = std::make_unique<CPortal>();
    portal->text = name;
    portal->rect = r;
    top->AddChild(std::move(portal));
  }
  std::vector<CPortalWnd*> Portals() {
    std::vector<CPortalWnd*> out;
    krtest::WalkTree(*rig->view, [&](CVisualOb& ob) {
      if (auto* p = dynamic_cast<CPortalWnd*>(&ob)) out.push_back(p);
    });
    std::sort(out.begin(), out.end(), [](auto* a, auto* b) {
      return std::pair(a->GetRect().left, a->GetRect().top) < std::pair(b->GetRect().left, b->GetRect().top);
    });
    return out;
  }
  void Click(CVisualOb& ob) {
    const Point p = krtest::CentreOf(ob);
    rig->view->MouseDown(p, kLeftButton);
    rig->view->MouseUp(p, 0);
  }
  CDropDownList* List() { return dynamic_cast<CDropDownList*>(rig->view->State().popup); }

  std::unique_ptr<krtest::PanelRig> rig;
  CContainer* top = nullptr;
  CContainer* sub = nullptr;
  std::uint32_t now = 5000;
};

TEST_F(SubPanels, PortalsShowTheNamedContainerWithTheBarWhenItSelectsPatches) {
  const auto portals = Portals();
  ASSERT_EQ(portals.size(), 3u);
  ASSERT_EQ(portals[0]->Children().size(), 1u);
  auto* decorated = dynamic_cast<CPatchSelDecorator*>(portals[0]->Children().front().get());
  ASSERT_NE(decorated, nullptr) << "\"Sub\" holds a Patch Select";
  EXPECT_EQ(decorated->GetRect(), (Rect{4, 4, 296, 156})) << "inset by 4 pixels";
  auto* scrolled = dynamic_cast<ScrollDecorator*>(&decorated->Panel());
  ASSERT_NE(scrolled, nullptr) << "the bar sits over the scroll decorator";
  auto* panel = dynamic_cast<CMyView*>(scrolled->Children().front().get());
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetDocObject(), sub);
  EXPECT_EQ(scrolled->GetRect().top, decorated->Bar().GetRect().bottom) << "the panel under the bar";
  ASSERT_EQ(portals[1]->Children().size(), 1u);
  EXPECT_NE(dynamic_cast<ScrollDecorator*>(portals[1]->Children().front().get()), nullptr) << "\"Plain\": no bar";
  EXPECT_TRUE(portals[2]->Children().empty()) << "a portal never shows its own container";
}

TEST_F(SubPanels, BarButtonsStepAndChoosePrograms) {
  auto& bar = dynamic_cast<CPatchSelDecorator&>(*Portals()[0]->Children().front()).Bar();
  std::vector<CVisualOb*> items;
  for (const auto& c : bar.Children()) items.push_back(c.get());
  ASSERT_EQ(items.size(), 6u) << "left, right, the name, the list, FILE, COPY";
  std::sort(items.begin(), items.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
  Click(*items[0]);
  EXPECT_EQ(sub->CurrentProgram(), 0) << "nothing below the first program";
  Click(*items[1]);
  Click(*items[1]);
  EXPECT_EQ(sub->CurrentProgram(), 2);
  Click(*items[3]);
  ASSERT_NE(List(), nullptr);
  EXPECT_EQ(List()->Items().size(), 128u);
  EXPECT_EQ(List()->Highlighted(), 2);
  rig->view->KeyDown(kKeyDown, 0);
  rig->view->KeyDown(kKeyEnter, 0);
  EXPECT_EQ(sub->CurrentProgram(), 3);
  Click(*items[4]);
  ASSERT_NE(List(), nullptr);
  EXPECT_EQ(List()->Items(), (std::vector<std::string>{"Load Bank", "Save Bank", "Load Inst", "Save Inst"}));
  rig->view->KeyDown(kKeyEscape, 0);
  EXPECT_EQ(List(), nullptr);
}

TEST(TriggerMappers, FireOncePerPress) {
  krtest::PanelRig rig(kPortalPatch);
  generic_parameter& any = *rig.document->root->ParameterAt(0);
  int fired = 0;
  auto& button = static_cast<CMyTextButton&>(rig.view->Children().back()->AddChild(
      std::make_unique<CMyTextButton>("Go", std::make_unique<control_mapper_event_trig>(any, [&] { ++fired; })), true));
  button.SetRect({0, 0, 40, 20});
  button.Open();
  rig.view->SetClock([n = 0u]() mutable { return n += 1000; });
  rig.view->MouseDown({10, 10}, kLeftButton);
  EXPECT_EQ(fired, 1);
  rig.view->MouseUp({10, 10}, 0);
  EXPECT_EQ(fired, 1) << "the release fires nothing";
  rig.view->MouseDown({10, 10}, kLeftButton);
  EXPECT_EQ(fired, 2);
}

}  // namespace
