#include "gui/panel/tab_box.h"

#include <algorithm>

#include "document/container.h"
#include "document/panel_objects.h"
#include "gui/panel/populate.h"
#include "registry/item_list.h"

namespace kr::gui {

namespace {

// Tab boxes on pages of tab boxes: nested rebuilds stop here, so that boxes
// listing each other end.
constexpr int kMaxNesting = 8;
int g_nesting = 0;

bool Lists(const CTabBox& box, const CDocOb* ob, int page) {
  return std::any_of(box.tabs.begin(), box.tabs.end(), [&](const auto& t) {
    return t.first == ob && (page < 0 || t.second == page);
  });
}

}  // namespace

CTabBoxWnd::CTabBoxWnd(CTabBox& box) : CVisualOb(&box, VF_RESIZABLE | VF_OWNED | VF_MOVABLE), box_(&box) {
  SetRectDirect(Rect::FromDoc(box.rect));
}

CTabBoxWnd::~CTabBoxWnd() { StopListening(); }

void CTabBoxWnd::StopListening() {
  if (box_) box_->RemoveObserver(this);
}

void CTabBoxWnd::Open() {
  if (box_) box_->AddObserver(this);
  if (stale_) Rebuild();
  CVisualOb::Open();
}

void CTabBoxWnd::Close() {
  StopListening();
  CVisualOb::Close();
  stale_ = true;
}

void CTabBoxWnd::OnNotify(Notifier*, int code, void*) {
  if (code == NC_PAGE) {
    stale_ = true;
  } else if (code == NC_REMOVED || code == NC_PARAMETER_GONE) {
    StopListening();
    box_ = nullptr;
    stale_ = true;
  }
}

void CTabBoxWnd::Refresh() {
  if (stale_ || SelectedPage() != shown_) Rebuild();
  CVisualOb::Refresh();
}

int CTabBoxWnd::SelectedPage() {
  if (!box_) return -1;
  const CPlug2* page = box_->PagePlug();
  if (!page) return -1;
  // The tab box holds its page: a list entry wired to "Page" writes it here.
  const int selected = ParameterTextToInt(page->ValueText());
  const auto pages = static_cast<int>(box_->PageNames().size());
  return selected >= 0 && selected < pages ? selected : -1;
}

void CTabBoxWnd::Rebuild() {
  stale_ = false;
  const bool open = IsOpen();
  for (const auto& c : Children()) c->Close();
  DeleteChildren();
  shown_ = SelectedPage();
  const CContainer* home = box_ ? box_->Parent() : nullptr;
  if (shown_ < 0 || !home || g_nesting >= kMaxNesting) return;
  ++g_nesting;
  // Only objects still in the container are shown: the list holds no
  // ownership and may name objects since deleted.
  for (const auto& c : home->Children()) {
    if (c.get() == box_ || !Lists(*box_, c.get(), shown_)) continue;
    if (auto v = MakePanelVisual(*c)) {
      CVisualOb& added = AddChild(std::move(v));
      if (open) added.Open();
    }
  }
  --g_nesting;
  Invalidate();
}

std::set<const CDocOb*> ListedOnPages(const CContainer& container) {
  std::set<const CDocOb*> listed;
  for (const auto& c : container.Children())
    if (const auto* box = DynamicKind<CTabBox>(c.get()))
      for (const auto& other : container.Children())
        if (other.get() != box && Lists(*box, other.get(), -1)) listed.insert(other.get());
  return listed;
}

}  // namespace kr::gui
