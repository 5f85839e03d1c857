// The objects that arrange others on a panel: the grid of a module's
// controls (CGroup), free layouts (GroupLoose, control_group), the frame
// whose content is made on demand (control_frame2) and the module box
// (CBorder, Ctl_Wnd).
#pragma once

#include <functional>

#include "gui/visual/visual_ob.h"

namespace kr {

// Grid layout: items in rows and columns, rows 4 pixels apart, columns 2.
class CGroup : public CVisualOb {
 public:
  explicit CGroup(std::uint32_t flags = VF_PARENT_MENU | VF_AUTO_SIZE) : CVisualOb(nullptr, flags) {}
  // Adds a child at (row, column); row -1 means the next free row, column 0.
  CVisualOb& AddItem(std::unique_ptr<CVisualOb> child, int row = -1, int column = 0);
  kr::gui::Size GetPreferredSize() override;
  void SetRect(const kr::gui::Rect& r) override;
  void Open() override;
  // The focus goes to the child with the lowest tab index of 0 or more (the
  // highest while Shift is down); with none the group takes it.
  void SetFocus() override;
  bool showGridLines = false;
  bool fixedWidth = false;
  void DrawSelf(kr::gui::DrawContext& dc) override;

 private:
  struct Item {
    CVisualOb* child;
    int row, column;
  };
  void Measure(std::vector<int>& rows, std::vector<int>& columns);
  void Place(const kr::gui::Rect& r);
  std::vector<Item> items_;
  int nextRow_ = 0;
};

// Free layout: children keep their positions and take their preferred sizes.
class GroupLoose : public CVisualOb {
 public:
  explicit GroupLoose(CDocOb* doc = nullptr, std::uint32_t flags = 0) : CVisualOb(doc, flags) {}
  kr::gui::Size GetPreferredSize() override;
  void SetRect(const kr::gui::Rect& r) override;
  // Moves the children so that the leftmost and topmost touch 0.
  void Normalise(int start = 999);
};

// The free layout of a sub-container's modules.
class control_group : public GroupLoose {
 public:
  explicit control_group(CDocOb* doc, std::uint32_t flags = VF_OWNED) : GroupLoose(doc, flags) {}
};

class control_group_auto_size : public control_group {
 public:
  explicit control_group_auto_size(CDocOb* doc) : control_group(doc, VF_OWNED | VF_AUTO_SIZE) {}
};

// A frame whose single content its document object makes on first need.
class control_frame2 : public CVisualOb {
 public:
  using MakeContent = std::function<std::unique_ptr<CVisualOb>()>;
  control_frame2(CDocOb* doc, MakeContent make)
      : CVisualOb(doc, VF_OWNED | VF_MOVABLE | VF_TRANSPARENT_TO_HITS | VF_AUTO_SIZE), make_(std::move(make)) {}
  kr::gui::Size GetPreferredSize() override;
  void SetRect(const kr::gui::Rect& r) override;
  void Open() override;
  void OnChildResized(CVisualOb* child) override;

 private:
  void EnsureContent();
  MakeContent make_;
  bool made_ = false;
};

// A box with one child and a border.
class CBorder : public CVisualOb {
 public:
  using CVisualOb::CVisualOb;
  int BorderWidth() const { return Has(VF_RESIZABLE) ? 3 : 1; }
};

// The box of one module: its controls in a grid, filled by the module.
class Ctl_Wnd : public CBorder {
 public:
  using Populate = std::function<void(Ctl_Wnd& box)>;
  Ctl_Wnd(CDocOb* doc, kr::gui::Rect stored, Populate populate)
      : CBorder(doc, VF_OWNED | VF_MOVABLE | VF_HAS_TOOLTIP | VF_AUTO_SIZE), stored_(stored),
        populate_(std::move(populate)) {
    SetRectDirect(stored);
  }
  // Adds a widget in the group's next free row (column 0).
  CVisualOb& Add(std::unique_ptr<CVisualOb> child);
  CGroup* Group() const { return group_; }
  kr::gui::Size GetPreferredSize() override;
  void SetRect(const kr::gui::Rect& r) override;
  void Open() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;

 private:
  // Makes the group and lets the module fill it (on open or the first size question).
  void EnsureGroup();
  kr::gui::Rect stored_;
  Populate populate_;
  CGroup* group_ = nullptr;
};

}  // namespace kr
