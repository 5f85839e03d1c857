// The default widget of a parameter, by its data type: a combo box for an
// item list, an edit box with up-down arrows for a "range" list, a small
// toggle button for a bool, a small knob with the value text for a hosted
// plug-in's parameter (type 7), none for MIDI, and an edit box (with a
// browse button for a file name) or, when it cannot be edited, its value
// text for anything else. Every widget made is owned and stretches to the
// height of its row.
#pragma once

#include <memory>

#include "gui/visual/visual_ob.h"

namespace kr {

class generic_parameter;

namespace gui {

// The data type of a hosted plug-in's parameter.
inline constexpr int kHostedParameterType = 7;

// Null for a parameter that shows no widget (MIDI).
std::unique_ptr<CVisualOb> MakeDefaultWidget(generic_parameter& parameter);

}  // namespace gui

}  // namespace kr
