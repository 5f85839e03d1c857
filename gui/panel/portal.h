// A sub-panel (CPortalWnd): shows the panel of the container its "Sub Panel"
// setting names, beside it in the same container, inset by 4 pixels; with
// the patch-selection bar when that container holds a "Patch Select". A
// name that matches no container, or the portal's own container or one
// around it, shows nothing.
#pragma once

#include "gui/visual/visual_ob.h"

class CPortal;

namespace kr::gui {

class CPortalWnd final : public CVisualOb {
 public:
  explicit CPortalWnd(CPortal& portal);
  Size GetPreferredSize() override { return GetRect().GetSize(); }
  void Open() override;
  void SetRect(const Rect& r) override;

 private:
  CPortal& portal_;
};

}  // namespace kr::gui
