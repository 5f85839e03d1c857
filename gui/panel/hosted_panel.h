// The panel of a hosted plug-in (a "VST Plugin" module), as a sub-panel
// shows it: the plug-in's own editor in a child window of ours where it has
// one (CControlClient_vst2), else a grid of its parameters: a header row
// "Name", "Value", "Units" and a row per parameter with its name, its
// default widget and its units (CControlClient_vst1). The patch-selection
// bar over it works on the plug-in's programs, and its file menu reads and
// writes the plug-in's bank and program files.
#pragma once

#include <memory>

#include "gui/visual/layout.h"

namespace kr {

class Ctl_VST_Plugin;

namespace gui {

class CControlClient_vst2 final : public CVisualOb {
 public:
  explicit CControlClient_vst2(Ctl_VST_Plugin& module);
  Size GetPreferredSize() override;
  // Opens the plug-in's editor at this object's place in the window (none
  // when the panel has no window: headless).
  void Open() override;
  void Close() override;
  bool EditorOpen() const { return editorOpen_; }

 private:
  Ctl_VST_Plugin& module_;
  bool editorOpen_ = false;
};

std::unique_ptr<CGroup> MakeHostedParameterGrid(Ctl_VST_Plugin& module);

// The whole panel of a hosted plug-in, with the bar when it has programs to show.
std::unique_ptr<CVisualOb> MakeHostedPluginPanel(Ctl_VST_Plugin& module);

}  // namespace gui

}  // namespace kr
