// The curve editors: the multistage envelope's points, view, gestures, menu
// and segment fields; the wave shape's points and drag limits; and both on
// a panel, where what they change reaches the stored text and the "shape"
// plug.
#include <gtest/gtest.h>

#include <cmath>

#include "document/controls.h"
#include "document/plug2.h"
#include "gui/panel/envelope_editor.h"
#include "gui/panel/envelope_panel.h"
#include "gui/panel/wave_shape_editor.h"
#include "gui/panel/wave_shape_panel.h"
#include "gui/visual/input_state.h"
#include "gui/visual/owner_drawn.h"
#include "support/panel_rig.h"

namespace krtest {
using namespace kr;
using namespace kr::gui;

namespace {

// 300 x 100 pixels at the initial 3 s span: 100 pixels a second, level 0 on
// row 50. The default points stand at (10, 0), (40, 10) and (100, 50).
EnvelopeEditor DefaultEnvelope() {
  EnvelopeEditor e;
  e.SetSize({300, 100});
  return e;
}

TEST(EnvelopeEditor, DragLimitsHold) {
  EnvelopeEditor e = DefaultEnvelope();
  EXPECT_EQ(e.Press({100, 50}), EnvelopeEditor::kPicture | EnvelopeEditor::kFields);
  EXPECT_EQ(e.Selected(), 2);
  e.Move({200, 20});
  EXPECT_FLOAT_EQ(e.Nodes().points[2].time, 2.0f);
  EXPECT_EQ(e.Nodes().points[2].level, 0.0f) << "the last point's level stays 0";
  EXPECT_EQ(e.Release(), EnvelopeEditor::kPicture | EnvelopeEditor::kStore);

  e.Press({40, 10});
  e.Move({280, -300});
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 2.0f) << "stops at the next point's time";
  EXPECT_FLOAT_EQ(e.Nodes().points[1].level, 1.0f);
  e.Move({20, 500});
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 0.2f);
  EXPECT_FLOAT_EQ(e.Nodes().points[1].level, -1.0f);
  e.Move({11, 500});
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 0.11f);
  e.Move({12, 500});
  EXPECT_EQ(e.RepeatMode(), EnvelopeEditor::kNoRepeat);
  e.Release();

  e.Press({10, 0});
  e.Move({-50, 0});
  EXPECT_EQ(e.Nodes().points[0].time, 0.0f) << "not before time 0";
  EXPECT_EQ(e.RepeatMode(), EnvelopeEditor::kScrollLeft);
  e.Release();
  EXPECT_EQ(e.RepeatMode(), EnvelopeEditor::kNoRepeat);
}

TEST(EnvelopeEditor, EdgeScrollKeepsThePointUnderTheMouse) {
  EnvelopeEditor e = DefaultEnvelope();
  e.Press({100, 50});
  e.Move({295, 50});
  EXPECT_EQ(e.RepeatMode(), EnvelopeEditor::kScrollRight);
  const Point before = e.PointAt(2);
  e.Tick();
  EXPECT_FLOAT_EQ(e.Nodes().points[2].time, 2.95f + 0.05f) << "one step: span x 5 / width";
  EXPECT_NEAR(e.Scroll(), -0.05f, 1e-6);
  EXPECT_NEAR(e.PointAt(2).x, before.x, 1);
  e.Release();
  EXPECT_EQ(e.Tick(), EnvelopeEditor::kNothing) << "the release ends the repeat";

  EnvelopeEditor left = DefaultEnvelope();
  left.Press({40, 10});
  left.Move({5, 10});
  EXPECT_EQ(left.RepeatMode(), EnvelopeEditor::kScrollLeft);
  EXPECT_FLOAT_EQ(left.Nodes().points[1].time, 0.1f);
  left.Tick();  // against the previous point: neither it nor the view moves
  EXPECT_FLOAT_EQ(left.Nodes().points[1].time, 0.1f);
  EXPECT_EQ(left.Scroll(), 0.0f);
}

TEST(EnvelopeEditor, ZoomAndScrollStayBounded) {
  EnvelopeEditor e = DefaultEnvelope();
  e.Press({299, 5});
  EXPECT_FLOAT_EQ(e.Span(), 3.3f) << "the right half zooms out at once";
  for (int i = 0; i < 500; ++i) e.Tick();
  EXPECT_EQ(e.Span(), EnvelopeEditor::kLongestSpan);
  e.Release();
  e.Press({280, 5});
  for (int i = 0; i < 500; ++i) e.Tick();
  EXPECT_EQ(e.Span(), EnvelopeEditor::kShortestSpan) << "zoom never shrinks the span to 0";
  e.Release();
  EXPECT_TRUE(std::isfinite(e.PixelsPerSecond()));

  EnvelopeEditor s = DefaultEnvelope();
  s.Press({150, 80});
  s.Move({250, 80});
  EXPECT_FLOAT_EQ(s.Scroll(), 0.1f) << "time 0 at most 10 pixels from the left edge";
  for (int i = 0; i < 100; ++i) s.Move({-100000 * i, 80});
  EXPECT_GE(s.Scroll(), -1000.0f);
}

TEST(EnvelopeEditor, EmptyPictureDividesByNothing) {
  EnvelopeEditor e;
  e.SetSize({0, 0});
  EXPECT_TRUE(std::isfinite(e.PixelsPerSecond()));
  EXPECT_GE(e.Scale().labelEvery, 1);
  e.Press(e.PointAt(0));
  e.Move({5, -7});
  for (const EnvelopeNode& n : e.Nodes().points) {
    EXPECT_TRUE(std::isfinite(n.time));
    EXPECT_TRUE(std::isfinite(n.level));
  }
  e.Release();
  bool taken = false;
  e.Key(kKeyUp, 0, taken);
  EXPECT_TRUE(std::isfinite(e.Nodes().points[0].level));
}

TEST(EnvelopeEditor, TimeLabels) {
  EnvelopeEditor e = DefaultEnvelope();
  EnvelopeEditor::TimeScale s = e.Scale();
  EXPECT_FLOAT_EQ(s.step, 0.1f);
  EXPECT_EQ(s.labelEvery, 5) << "span 3 s over 300 pixels: a label every 0.5 s";
  EXPECT_STREQ(s.format, "%2.1f");
  e.SetSize({2000, 100});  // 667 pixels a second
  s = e.Scale();
  EXPECT_FLOAT_EQ(s.step, 0.01f);
  EXPECT_EQ(s.labelEvery, 10);
  EXPECT_STREQ(s.format, "%2.2f");
}

TEST(EnvelopeEditor, PointMenu) {
  EnvelopeEditor e = DefaultEnvelope();
  unsigned change = 0;
  ContextMenu menu = e.MenuAt({40, 10}, change);
  EXPECT_EQ(e.Selected(), 1);
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].text, "Del Segment");
  EXPECT_EQ(menu[0].id, 34985);
  EXPECT_EQ(menu[1].text, "Ins Segment");
  EXPECT_EQ(menu[2].text, "Sustain Seg");
  EXPECT_TRUE(menu[2].checked);
  menu = e.MenuAt({100, 50}, change);
  ASSERT_EQ(menu.size(), 2u) << "the last point cannot be deleted";
  EXPECT_FALSE(menu[1].checked);
  EXPECT_TRUE(e.MenuAt({200, 80}, change).empty());

  e.MenuAt({10, 0}, change);
  EXPECT_EQ(e.Command(EnvelopeEditor::kInsSegment),
            EnvelopeEditor::kPicture | EnvelopeEditor::kShape | EnvelopeEditor::kFields | EnvelopeEditor::kStore);
  ASSERT_EQ(e.Nodes().points.size(), 4u);
  EXPECT_FLOAT_EQ(e.Nodes().points[0].time, 0.05f);
  EXPECT_FLOAT_EQ(e.Nodes().points[0].level, 0.5f);
  EXPECT_EQ(e.Nodes().sustain, 2) << "the sustain point is the same point";

  e.MenuAt(e.PointAt(2), change);
  e.Command(EnvelopeEditor::kDelSegment);
  EXPECT_EQ(e.Nodes().points.size(), 3u);
  EXPECT_EQ(e.Nodes().sustain, -1) << "deleting the sustain point leaves none";
  EXPECT_EQ(e.Selected(), 2) << "the point that took its place";
  e.Command(EnvelopeEditor::kDelSegment);
  EXPECT_EQ(e.Nodes().points.size(), 3u) << "nor by command";
  e.Command(EnvelopeEditor::kSustainSeg);
  EXPECT_EQ(e.Text(), "(0.050000,0.500000)(0.100000,1.000000)S(1.000000,0.000000)");
  EXPECT_EQ(e.Shape()[2].kind, EnvelopePoint::kEnd) << "the last point's kind wins over sustain";
}

TEST(EnvelopeEditor, SegmentFieldsKeepTheDragLimits) {
  EnvelopeEditor e = DefaultEnvelope();
  EXPECT_EQ(e.CurSegmentText(), "");
  EXPECT_EQ(e.SetCurSegment("1"), EnvelopeEditor::kPicture | EnvelopeEditor::kFields);
  EXPECT_EQ(e.SegmentRateText(), "0.300");
  EXPECT_EQ(e.SegmentLevelText(), "8.00");
  e.SetSegmentRate("5");
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 1.0f) << "not after the next point";
  e.SetSegmentRate("-5");
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 0.1f) << "not before the previous point";
  e.SetSegmentRate(" 0.25 ");
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 0.35f);
  for (const char* bad : {"nan", "inf", "-infinity", "1e999", "", "0.3x"}) {
    EXPECT_EQ(e.SetSegmentRate(bad), EnvelopeEditor::kFields) << bad;
    EXPECT_EQ(e.SetSegmentLevel(bad), EnvelopeEditor::kFields) << bad;
  }
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 0.35f);
  e.SetSegmentLevel("50");
  EXPECT_EQ(e.SegmentLevelText(), "10.00");
  e.SetSegmentLevel("-2.5");
  EXPECT_FLOAT_EQ(e.Nodes().points[1].level, -0.25f);
  for (const char* bad : {"3", "-1", "1.5", "x"}) e.SetCurSegment(bad);
  EXPECT_EQ(e.Selected(), 1);
  e.SetCurSegment("2");
  e.SetSegmentLevel("5");
  EXPECT_EQ(e.Nodes().points[2].level, 0.0f) << "the last point's level does not change";
}

TEST(EnvelopeEditor, KeysAndTextChanges) {
  EnvelopeEditor e = DefaultEnvelope();
  bool taken = false;
  e.Key(kKeyTab, 0, taken);
  EXPECT_TRUE(taken);
  EXPECT_EQ(e.Selected(), 0);
  e.Key(kKeyTab, kShift, taken);
  EXPECT_EQ(e.Selected(), 2);
  e.Key(kKeyTab, kControl, taken);
  EXPECT_EQ(e.Selected(), 1);
  e.Key(kKeyDown, 0, taken);
  EXPECT_FLOAT_EQ(e.Nodes().points[1].level, 0.78f);
  e.Key(kKeyRight, 0, taken);
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 0.41f);
  e.Key(kKeyRight, kKeyRepeat, taken);
  EXPECT_FLOAT_EQ(e.Nodes().points[1].time, 0.41f) << "auto-repeats are ignored";
  e.Key('A', 0, taken);
  EXPECT_FALSE(taken);

  e.SetText("(0.2,0.5)(0.3,0.0)");
  EXPECT_EQ(e.Selected(), 1) << "the selection stays by position";
  e.SetText("(0.2,0.5)");
  EXPECT_EQ(e.Selected(), -1);
}

TEST(WaveShapeEditor, PointsTextAndDragLimits) {
  WaveShapeEditor w;
  EXPECT_EQ(w.Text(), dsp::kDefaultShapeText) << "an empty text is the straight line";
  w.SetText(std::string(dsp::kDefaultShapeText) + "(9.0,9.0)");
  EXPECT_EQ(w.Text(), dsp::kDefaultShapeText) << "12 pairs use the first 11";
  w.SetText("(-5.0,5.0)(-4.0,-1.0)");
  EXPECT_EQ(w.Text().substr(0, 32), "(-5.0,5.0)(-4.0,-1.0)(-3.0,-3.0)") << "missing points come from the straight line";

  w.SetText({});
  w.SetSize({100, 100});
  EXPECT_EQ(w.HitPoint({2, 97}), 0);
  EXPECT_EQ(w.HitPoint({3, 97}), -1) << "right edge excluded";
  ASSERT_TRUE(w.Press({0, 99}));
  ASSERT_TRUE(w.Move({40, 79}));
  EXPECT_EQ(w.Text().substr(0, 11), "(-5.0,-4.0)") << "the first point stays at -5 V in; it moves at half speed";
  w.Release();
  ASSERT_TRUE(w.Press({50, 50}));
  EXPECT_EQ(w.Dragged(), 5);
  w.Move({250, -400});
  EXPECT_FLOAT_EQ(w.Points().x[5], 59.0f) << "1 unit before the next point";
  EXPECT_FLOAT_EQ(w.Points().y[5], 0.0f);
  w.Move({-750, -400});
  EXPECT_FLOAT_EQ(w.Points().x[5], 41.0f) << "1 unit after the previous point";
  w.Release();
  w.Press({100, 0});
  w.Move({0, 0});
  EXPECT_FLOAT_EQ(w.Points().x[10], 100.0f) << "the last point stays at +5 V in";

  WaveShapeEditor empty;
  empty.SetSize({0, 0});
  empty.Press(empty.PointAt(3));
  empty.Move({9, 9});
  EXPECT_TRUE(std::isfinite(empty.Points().x[3]));
  EXPECT_TRUE(std::isfinite(empty.Points().y[3]));
}

// --- on a panel ----------------------------------------------------------------------

class CurvePanels : public ::testing::Test {
 protected:
  void SetUp() override {
    rig = std::make_unique<PanelRig>(ReadText(kGuiData / "golden_curves.json"));
    rig->view->SetClock([this] { return now; });
    WalkTree(*rig->view, [&](CVisualOb& ob) {
      auto* drawn = dynamic_cast<CMyOwnerDrawn2*>(&ob);
      if (!drawn) return;
      if (dynamic_cast<EnvelopePanel*>(&drawn->Drawn())) envelope = drawn;
      if (auto* w = dynamic_cast<WaveShapePanel*>(&drawn->Drawn())) (w->Formula() ? formula : wave) = drawn;
    });
    ASSERT_TRUE(envelope && wave && formula);
    rig->RenderAll();  // the pictures learn their sizes
    for (const auto& c : rig->document->root->Children())
      if (auto* top = DynamicKind<CContainer>(c.get()))
        for (const auto& m : top->Children()) {
          if (auto* control = DynamicKind<CControl>(m.get())) envControl = control;
          if (auto* module = DynamicKind<CUG>(m.get()); module && module->Title() == "WaveShaper") shaper = module;
          if (auto* module = DynamicKind<CUG>(m.get()); module && module->Title() == "WaveShaper2") shaper2 = module;
        }
    ASSERT_TRUE(envControl && shaper && shaper2);
  }
  Point At(CVisualOb& widget, Point p) {
    const Point o = widget.RootPosition();
    return {o.x + p.x, o.y + p.y};
  }
  void Drag(CVisualOb& widget, Point from, Point to) {
    now += 1000;
    rig->view->MouseDown(At(widget, from), kLeftButton);
    rig->view->MouseMove(At(widget, to), kLeftButton);
    rig->view->MouseUp(At(widget, to), 0);
  }
  std::unique_ptr<PanelRig> rig;
  std::uint32_t now = 0;
  CMyOwnerDrawn2* envelope = nullptr;
  CMyOwnerDrawn2* wave = nullptr;
  CMyOwnerDrawn2* formula = nullptr;
  CControl* envControl = nullptr;
  CUG* shaper = nullptr;
  CUG* shaper2 = nullptr;
};

TEST_F(CurvePanels, EnvelopeDragAndMenuStoreTheText) {
  auto& editor = static_cast<EnvelopePanel&>(envelope->Drawn()).Editor();
  const Point first = editor.PointAt(0);
  Drag(*envelope, first, {first.x + 20, first.y});
  EXPECT_EQ(envControl->EnvelopeText(), editor.Text()) << "the drag's end stored the points";
  EXPECT_GT(ParseEnvelopeText(envControl->EnvelopeText()).points[0].time, 0.1f);

  rig->view->ContextMenuAt(At(*envelope, editor.PointAt(1)));
  ASSERT_EQ(rig->view->Menu().size(), 3u);
  rig->view->ChooseCommand(EnvelopeEditor::kInsSegment);
  EXPECT_EQ(ParseEnvelopeText(envControl->EnvelopeText()).points.size(), 4u) << "a command is stored at once";

  envControl->SetEnvelopeText("(0.5,0.5)(0.9,0.0)");
  rig->view->Refresh();
  EXPECT_EQ(editor.Nodes().points.size(), 2u) << "the picture follows the stored text";
}

TEST_F(CurvePanels, KeysReachTheEnvelopeOnceClicked) {
  auto& editor = static_cast<EnvelopePanel&>(envelope->Drawn()).Editor();
  const Point p1 = At(*envelope, editor.PointAt(1));
  now += 1000;
  rig->view->MouseDown(p1, kLeftButton);
  rig->view->MouseUp(p1, 0);
  ASSERT_EQ(editor.Selected(), 1);
  rig->view->KeyDown(kKeyTab, 0);
  rig->view->Char('\t', 0);
  EXPECT_EQ(editor.Selected(), 2);
  EXPECT_TRUE(envelope->HasFocus()) << "Tab selects points instead of moving the focus";
  rig->view->KeyDown(kKeyLeft, 0);
  EXPECT_LT(editor.Nodes().points[2].time, 1.0f);
  EXPECT_EQ(envControl->EnvelopeText(), editor.Text()) << "a key's move is stored";
}

TEST_F(CurvePanels, WaveShapeDragWritesThePointTextAndFormulasStay) {
  CPlug2* shape = shaper->FindPlug("shape");
  auto& editor = static_cast<WaveShapePanel&>(wave->Drawn()).Editor();
  const Point p3 = editor.PointAt(3);
  Drag(*wave, p3, {p3.x, p3.y - 20});
  const std::string text = rig->values->PlugValue(*shape);
  EXPECT_EQ(text, editor.Text());
  EXPECT_NEAR(dsp::ParseShapePoints(text).y[3], editor.Points().y[3], 0.5f) << "to the text's 0.1 V";
  EXPECT_LT(editor.Points().y[3], dsp::ParseShapePoints("(-5.0,-4.0)(-4.0,-3.8)(-3.0,-3.5)(-2.0,-2.9)").y[3]);
  EXPECT_EQ(text.substr(0, 6), "(-5.0,");

  CPlug2* formulaText = shaper2->FindPlug("shape");
  const std::string before = rig->values->PlugValue(*formulaText);
  Drag(*formula, {5, 5}, {60, 60});
  Drag(*formula, {50, 50}, {10, 90});
  EXPECT_EQ(rig->values->PlugValue(*formulaText), before) << "presses on a formula's picture do nothing";

  auto& formulaPanel = static_cast<WaveShapePanel&>(formula->Drawn());
  const std::vector<double> curve = formulaPanel.FormulaCurve(100);
  ASSERT_EQ(curve.size(), 100u);
  EXPECT_NEAR(curve[0], 4 * std::tanh(-50 * 10.0 / 95.0), 1e-9);
  EXPECT_NEAR(curve[50], 0.0, 1e-12);
}

}  // namespace

}  // namespace krtest
