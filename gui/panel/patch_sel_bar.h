// The patch-selection bar over a container's panel (CPatchSelDecorator): a
// row of the container's program controls (previous and next program, the
// program's name with the list of programs, "Chan" with the channel when
// the container has one, the "FILE" and " COPY" buttons), the panel under
// it filling the rest. Sub-panels of containers holding a "Patch Select"
// wear it.
#pragma once

#include <functional>
#include <memory>

#include "gui/visual/layout.h"

namespace kr {

class CContainer;
class generic_parameter;

namespace gui {

class CPatchSelDecorator final : public CVisualOb {
 public:
  // The file menu's commands (34909 "Load Bank" to 34912 "Save Inst"), for
  // what the panel shows; true when they were taken.
  using FileCommands = std::function<bool(int command)>;

  CPatchSelDecorator(CContainer& container, std::unique_ptr<CVisualOb> panel);
  // The bar over another owner of programs (a hosted plug-in): its "Program"
  // and "Program Name", and what its file menu does.
  CPatchSelDecorator(generic_parameter& program, generic_parameter& name, generic_parameter* channel,
                     std::unique_ptr<CVisualOb> panel, FileCommands fileCommands);
  CGroup& Bar() const { return *bar_; }
  CVisualOb& Panel() const { return *panel_; }
  // The bar's size; the panel takes what it is given.
  Size GetPreferredSize() override;
  void SetRect(const Rect& r) override;
  void Open() override;
  void OnCommand(int id, Point p) override;

 private:
  CGroup* bar_;
  CVisualOb* panel_;
  FileCommands fileCommands_;
};

// Whether a container holds a "Patch Select" module (its panels get the bar).
bool HoldsPatchSelect(const CContainer& container);

}  // namespace gui

}  // namespace kr
