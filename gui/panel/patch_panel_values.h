// Panel values with patch parameters connected: a widget wired to the
// "Animation Position" of a patch-memory module ("PatchMemFloatIn") shows
// and sets that module's patch value as a position in its "Min Value" ..
// "Max Value" range. Setting the value is an edit of the patch parameter's
// plug, which stores it for the current program, sends it to the audio side
// and reports it to the host. GUI thread only.
#pragma once

#include "gui/panel/panel_values.h"

namespace kr::gui {

class PatchPanelValues : public PanelValues {
 public:
  std::string PlugValue(const CPlug2& plug) override;
  void SetPlugValue(CPlug2& plug, const std::string& text) override;
};

}  // namespace kr::gui
