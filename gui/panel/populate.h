// What each document object shows on a panel: module boxes filled with the
// widgets of their control (sliders, list entries, LEDs, meters, text
// entries), group boxes, frames of panel objects and of sub-containers.
#pragma once

#include <memory>

#include "gui/visual/panel_objects.h"
#include "gui/visual/visual_ob.h"

namespace kr {

class CDocOb;
class CContainer;

namespace gui {

// The visual of a document object on a panel view; null when it shows none
// there (wires, modules that live only in the structure view, sub-containers
// with nothing to show).
std::unique_ptr<CVisualOb> MakePanelVisual(CDocOb& doc);

// A container's panel: one visual per object that has one, in the
// container's order (the first object is in front).
std::unique_ptr<CMyView> MakeContainerPanel(CContainer& container);

}  // namespace gui

}  // namespace kr
