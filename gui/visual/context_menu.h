// The items of a context menu as objects add them, and the commands the
// panel itself knows.
#pragma once

#include <string>
#include <vector>

namespace kr::gui {

struct MenuItem {
  int id = 0;
  std::string text;
  bool checked = false;  // shown with a check mark
};
using ContextMenu = std::vector<MenuItem>;

inline constexpr int kCommandAbout = 34923;
// Arms MIDI learn on a control's parameter: the next controller moved binds to it.
inline constexpr int kCommandMidiLearn = 34924;

}  // namespace kr::gui
