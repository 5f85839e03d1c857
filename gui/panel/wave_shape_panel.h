// The wave shapers' boxes. "WaveShaper": the 11 points over the axes,
// dragged with the mouse; every step writes the whole point text to the
// "shape" plug, whose patch value carries it to the audio module.
// "WaveShaper2": the curve of its formula (the "shape" text), drawn with an
// evaluator of the panel's own, and under it a label where the formula is
// typed. Presses on its picture do nothing, so the formula is never
// replaced by point text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dsp/evaluator.h"
#include "gui/panel/wave_shape_editor.h"
#include "gui/visual/owner_drawn.h"
#include "gui/visual/widgets.h"

namespace kr {

class CPlug2;

// A text label whose "Text" is typed in place (the box of "WaveShaper2").
class CMyTextLabel3 : public CMyTextLabel2 {
 public:
  explicit CMyTextLabel3(CPlug2* text) : CMyTextLabel2(text, nullptr, nullptr) {}
  bool ReadOnly() override { return false; }
};

namespace gui {

class WaveShapePanel final : public OwnerDrawn {
 public:
  // formula: "WaveShaper2" (the text is a formula in x), else points.
  WaveShapePanel(CPlug2& shape, bool formula) : shape_(shape), formula_(formula) {}
  WaveShapeEditor& Editor() { return editor_; }
  bool Formula() const { return formula_; }
  // The output volts the picture shows for each column of a picture `width` wide.
  std::vector<double> FormulaCurve(int width);

  Size PreferredSize() override { return {100, 100}; }
  void Draw(CVisualOb& widget, DrawContext& dc) override;
  void MouseDown(CVisualOb& widget, Point p, std::uint32_t flags) override;
  void MouseMove(CVisualOb& widget, Point p, std::uint32_t flags) override;
  void MouseUp(CVisualOb& widget, Point p, std::uint32_t flags) override;
  // Follows the "shape" text when it changed elsewhere (a program, the host).
  bool Refresh(CVisualOb& widget) override;
  void Opened(CVisualOb& widget) override { Refresh(widget); }

 private:
  void DrawAxes(CVisualOb& widget, DrawContext& dc, const Rect& c);
  void DrawPoints(CVisualOb& widget, DrawContext& dc, const Rect& c);
  void DrawFormula(DrawContext& dc, const Rect& c);

  CPlug2& shape_;
  bool formula_;
  WaveShapeEditor editor_;
  std::string seen_;  // the "shape" text shown
  dsp::Evaluator evaluator_;  // the picture's own: the audio side keeps another
};

}  // namespace gui

}  // namespace kr
