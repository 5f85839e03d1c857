// The view of "Freq Analyser" and "Freq Response Test": the curve their
// audio module last sent ("curv", levels in dB), drawn left to right over
// a grid of 12 dB steps between the view's top and bottom levels.
#pragma once

#include <vector>

#include "document/cug.h"
#include "gui/visual/owner_drawn.h"

namespace kr::gui {

class CurvePanel final : public OwnerDrawn {
 public:
  CurvePanel(CUG& module, float topDb, float bottomDb) : module_(module), topDb_(topDb), bottomDb_(bottomDb) {}
  const std::vector<float>& Values() const { return values_; }
  // The row a level is drawn at in a view of the given height.
  int RowOf(float db, int height) const;

  Size PreferredSize() override { return {200, 100}; }
  void Draw(CVisualOb& widget, DrawContext& dc) override;
  bool Refresh(CVisualOb& widget) override;

 private:
  CUG& module_;
  float topDb_;
  float bottomDb_;
  std::vector<float> values_;
};

}  // namespace kr::gui
