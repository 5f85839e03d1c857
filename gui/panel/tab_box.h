// A tab box on a panel (CTabBoxWnd, "Paged Group"): shows the objects its
// document object lists for the page its "Page" value names, and nothing
// itself. A page number outside "Page Names" shows no page.
//
// Page objects keep the positions they have on the surrounding panel: the
// tab box's scroll origin is its own top-left corner, so its children stand
// in the panel's coordinates (they are hit only inside the tab box). The
// panel around it leaves them out (ListedOnPages).
#pragma once

#include <set>

#include "document/notifier.h"
#include "gui/visual/visual_ob.h"

namespace kr {

class CContainer;
class CDocOb;
class CTabBox;

namespace gui {

class CTabBoxWnd final : public CVisualOb, public Notifiable {
 public:
  explicit CTabBoxWnd(CTabBox& box);
  ~CTabBoxWnd() override;
  kr::gui::Size GetPreferredSize() override { return GetRect().GetSize(); }
  kr::gui::Point GetScrollOrigin() override { return GetRect().TopLeft(); }
  void Open() override;
  void Close() override;
  // A page change (NC_PAGE, or the "Page" value read again) rebuilds here,
  // outside any widget's own handler.
  void Refresh() override;
  void OnNotify(Notifier* source, int code, void* data) override;
  // The page shown; -1 for none.
  int ShownPage() const { return shown_; }

 private:
  int SelectedPage();
  void Rebuild();
  void StopListening();
  CTabBox* box_;
  int shown_ = -1;
  bool stale_ = true;
};

// The objects of a container that tab boxes of the container show on their
// pages (the container's panel leaves them to the tab boxes).
std::set<const CDocOb*> ListedOnPages(const CContainer& container);

}  // namespace gui

}  // namespace kr
