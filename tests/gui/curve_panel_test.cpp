// The curve view of "Freq Analyser" and "Freq Response Test": it takes the
// curve its module last sent on refresh and draws it over its grid.
#include <gtest/gtest.h>

#include <cmath>
#include <typeinfo>

#include "gui/panel/curve_panel.h"
#include "gui/visual/owner_drawn.h"
#include "support/panel_rig.h"

namespace krtest {
using namespace kr;
using namespace kr::gui;

namespace {

const char* kCurvePatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrCv", "panel_size": [300, 300] },
  "root": { "modules": [ { "module": "Container", "id": "top", "modules": [
    { "module": "Freq Analyser", "id": "fa", "title": "Spectrum", "rect": [10, 10, 210, 126] },
    { "module": "Freq Response Test", "id": "fr", "title": "Response", "rect": [10, 150, 210, 266] }
  ] } ] }
})";

// Hands each module the same curve: flat at -48 dB, rising to 0 dB at the end.
struct CurveValues : PanelValues {
  std::vector<float> Curve(const CUG&) override { return curve; }
  std::vector<float> curve;
};

TEST(CurvePanel, DrawsTheLatestCurveOverItsGrid) {
  auto values = std::make_unique<CurveValues>();
  CurveValues* source = values.get();
  PanelRig rig(kCurvePatch, kGuiData, -1, std::move(values));
  std::vector<std::pair<CVisualOb*, CurvePanel*>> views;
  WalkTree(*rig.view, [&](CVisualOb& ob) {
    if (typeid(ob) != typeid(CMyOwnerDrawn2)) return;
    if (auto* c = dynamic_cast<CurvePanel*>(&static_cast<CMyOwnerDrawn2&>(ob).Drawn())) views.emplace_back(&ob, c);
  });
  ASSERT_EQ(views.size(), 2u);
  // The analyser's view spans 0 to -96 dB, the response's 12 to -48 dB.
  if (views[0].second->RowOf(0.0f, 100) != 0) std::swap(views[0], views[1]);
  auto [widget, analyser] = views[0];
  // 0 dB at the top, -96 at the bottom of the analyser's 100 rows.
  EXPECT_EQ(analyser->RowOf(0.0f, 100), 0);
  EXPECT_EQ(analyser->RowOf(-48.0f, 100), 50);
  EXPECT_EQ(analyser->RowOf(-200.0f, 100), 99);
  EXPECT_EQ(analyser->RowOf(NAN, 100), 99);
  EXPECT_EQ(views[1].second->RowOf(12.0f, 100), 0) << "the response view's top";

  const Point at = widget->RootPosition();
  const Size size = widget->GetRect().GetSize();
  const Point onCurve{at.x + 1, at.y + analyser->RowOf(-48.0f, size.height)};
  const Pixel before = rig.PixelAt(onCurve);
  source->curve = {-48.0f, -48.0f, -48.0f, 0.0f};
  rig.view->Refresh();
  ASSERT_EQ(analyser->Values(), source->curve);
  EXPECT_NE(rig.PixelAt(onCurve), before) << "the curve is drawn";
}

}  // namespace

}  // namespace krtest
