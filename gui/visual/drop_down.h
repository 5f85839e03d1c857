// The list a combo box drops down: items in rows over the panel, in front of
// everything, holding the mouse and the keys until it closes. A release on
// a row (or Enter) chooses that row; a press outside, or Escape, closes the
// list choosing nothing. Lists longer than the panel scroll: by the arrow
// and page keys, and while the pointer is dragged above or below the list.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/skin/skin.h"
#include "gui/visual/visual_ob.h"

namespace kr {

class CDropDownList : public CVisualOb {
 public:
  using Choose = std::function<void(int index)>;
  // Opens a list in the view of owner, under the rectangle `anchor` (in the
  // owner's coordinates), or above it where there is more room; current is
  // the row to start on (-1 none). The list deletes itself once closed.
  static CDropDownList* Open(CVisualOb& owner, const kr::gui::Rect& anchor, std::vector<std::string> items,
                             int current, Choose choose);

  // Opens a list made elsewhere (a kind of its own) as Open does.
  static CDropDownList* Place(CVisualOb& owner, const kr::gui::Rect& anchor, std::unique_ptr<CDropDownList> list);

  CDropDownList(std::vector<std::string> items, int current, Choose choose);
  // The font of the rows ("control_edit" here; drawn in that style's colour).
  virtual const SkinFontInfo& RowStyle();
  const std::vector<std::string>& Items() const { return items_; }
  int Highlighted() const { return highlight_; }
  int FirstShown() const { return first_; }
  int RowsShown() const { return rows_; }
  int RowHeight();
  // The rectangle of a row in the list's coordinates (empty when scrolled out).
  kr::gui::Rect RowRect(int row);

  bool IsHitTarget() override { return true; }
  int GetLayer() override { return 1000; }
  void DrawSelf(kr::gui::DrawContext& dc) override;
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;
  void OnPointerMove(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  void OnKeyUp(int, int, std::uint32_t) override {}
  void OnChar(int ch, int repeat, std::uint32_t flags) override;
  // Closes the list; chosen >= 0 is handed to the chooser first.
  void Finish(int chosen);

 private:
  int RowAt(kr::gui::Point p);
  void HighlightRow(int row);

  std::vector<std::string> items_;
  int highlight_;
  Choose choose_;
  int first_ = 0;
  int rows_ = 1;
  bool pressedInside_ = false;
};

}  // namespace kr
