// The patch-selection bar over a container's panel (CPatchSelDecorator): a
// row of the container's program controls (previous and next program, the
// program's name with the list of programs, "Chan" with the channel when
// the container has one, the "FILE" and " COPY" buttons), the panel under
// it filling the rest. Sub-panels of containers holding a "Patch Select"
// wear it.
#pragma once

#include <memory>

#include "gui/visual/layout.h"

class CContainer;

namespace kr::gui {

class CPatchSelDecorator final : public CVisualOb {
 public:
  CPatchSelDecorator(CContainer& container, std::unique_ptr<CVisualOb> panel);
  CGroup& Bar() const { return *bar_; }
  CVisualOb& Panel() const { return *panel_; }
  // The bar's size; the panel takes what it is given.
  Size GetPreferredSize() override;
  void SetRect(const Rect& r) override;
  void Open() override;

 private:
  CGroup* bar_;
  CVisualOb* panel_;
};

// Whether a container holds a "Patch Select" module (its panels get the bar).
bool HoldsPatchSelect(const CContainer& container);

}  // namespace kr::gui
