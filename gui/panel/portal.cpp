#include "gui/panel/portal.h"

#include "document/container.h"
#include "document/hosted_modules.h"
#include "document/panel_objects.h"
#include "gui/panel/hosted_panel.h"
#include "gui/panel/patch_sel_bar.h"
#include "gui/panel/populate.h"
#include "gui/panel/scroll_decorator.h"

namespace kr::gui {

namespace {

constexpr int kInset = 4;

// The container the portal names, beside it; none for its own or one around it.
CContainer* Shown(const CPortal& portal) {
  const CContainer* home = portal.Parent();
  if (!home) return nullptr;
  for (const auto& c : home->Children()) {
    auto* container = DynamicKind<CContainer>(c.get());
    if (!container || container->Title() != portal.text) continue;
    for (const CContainer* up = home; up; up = up->Parent())
      if (up == container) return nullptr;
    return container;
  }
  return nullptr;
}

// A hosted plug-in beside the portal that it names.
Ctl_VST_Plugin* ShownPlugin(const CPortal& portal) {
  const CContainer* home = portal.Parent();
  if (!home) return nullptr;
  for (const auto& c : home->Children())
    if (auto* hosted = DynamicKind<Ctl_VST_Plugin>(c.get()); hosted && hosted->Title() == portal.text) return hosted;
  return nullptr;
}

}  // namespace

CPortalWnd::CPortalWnd(CPortal& portal) : CVisualOb(&portal, VF_RESIZABLE | VF_OWNED | VF_MOVABLE), portal_(portal) {
  SetRectDirect(Rect::FromDoc(portal.rect));
}

void CPortalWnd::Open() {
  if (Children().empty()) {
    if (CContainer* container = Shown(portal_)) {
      std::unique_ptr<CVisualOb> content =
          std::make_unique<ScrollDecorator>(*container, MakeContainerPanel(*container), portal_.Bars());
      if (HoldsPatchSelect(*container))
        content = std::make_unique<CPatchSelDecorator>(*container, std::move(content));
      AddChild(std::move(content));
    } else if (Ctl_VST_Plugin* hosted = ShownPlugin(portal_)) {
      AddChild(MakeHostedPluginPanel(*hosted));
    }
  }
  SetRect(GetRect());
  CVisualOb::Open();
}

void CPortalWnd::SetRect(const Rect& r) {
  CVisualOb::SetRect(r);
  if (!Children().empty()) Children().front()->SetRect(GetClientRect().Inset(kInset));
}

}  // namespace kr::gui
