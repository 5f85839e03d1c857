// A sub-panel (CPortalWnd): shows the panel of the container its "Sub Panel"
// setting names, beside it in the same container, inset by 4 pixels, in a
// scroll decorator (gui/panel/scroll_decorator.h); with the patch-selection
// bar over that when the container holds a "Patch Select". A
// hosted plug-in it names shows its own panel (gui/panel/hosted_panel.h). A
// name that matches no container, or the portal's own container or one
// around it, shows nothing.
#pragma once

#include "gui/visual/visual_ob.h"

namespace kr {

class CPortal;

namespace gui {

class CPortalWnd final : public CVisualOb {
 public:
  explicit CPortalWnd(CPortal& portal);
  Size GetPreferredSize() override { return GetRect().GetSize(); }
  void Open() override;
  void SetRect(const Rect& r) override;

 private:
  CPortal& portal_;
};

}  // namespace gui

}  // namespace kr
