#include "gui/panel/default_widgets.h"

#include "document/plug2.h"
#include "gui/panel/param_msg_map.h"
#include "gui/visual/layout.h"
#include "gui/visual/widgets.h"
#include "registry/interface_object.h"

namespace kr::gui {

namespace {

bool IsRangeList(const std::string& list) { return list.rfind("range", 0) == 0; }

// Values of plugs that carry out of their module are not typed in.
bool Editable(generic_parameter& p) {
  const auto* plug = dynamic_cast<CPlug2*>(&p);
  return !plug || plug->Direction() != DR_OUT;
}

bool HoldsFileName(generic_parameter& p) {
  const auto* plug = dynamic_cast<CPlug2*>(&p);
  return plug && (plug->Flags() & PF_FILENAME) != 0;
}

std::unique_ptr<CVisualOb> Owned(std::unique_ptr<CVisualOb> widget) {
  widget->SetFlags(VF_OWNED | VF_STRETCH_HEIGHT);
  return widget;
}

}  // namespace

std::unique_ptr<CVisualOb> MakeDefaultWidget(generic_parameter& p) {
  const int type = p.DataType();
  if (type == DT_MIDI) return nullptr;
  if (type == DT_ENUM && !IsRangeList(p.ItemList())) return Owned(std::make_unique<CMyCombobox>(p));
  if (type == DT_ENUM) {
    auto grid = std::make_unique<CGroup>();
    grid->AddItem(std::make_unique<CMyEdit>(p, 6), 0, 0);
    grid->AddItem(std::make_unique<CMySpinButtonCtrl>(p), 0, 1);
    return Owned(std::move(grid));
  }
  if (type == DT_BOOL)
    return Owned(std::make_unique<CMyBmpCtrl>("button_sm", std::make_unique<control_mapper_bmc_param>(p), true));
  if (type == kHostedParameterType) {
    auto grid = std::make_unique<CGroup>();
    auto knob = std::make_unique<CMyBmpCtrl>("knob_sm", std::make_unique<control_mapper_bmc_param>(p));
    knob->tabIndex = 1;
    grid->AddItem(std::move(knob), 0, 0);
    grid->AddItem(MakeParamMsgMapWidget(p, ParamMsgMap::kValueText), 0, 1);
    return Owned(std::move(grid));
  }
  if (!Editable(p)) {
    auto label = std::make_unique<CMyTextLabel>("", "control_label", LF_TRANSPARENT);
    label->SetSource([&p] { return p.DisplayText(); });
    return Owned(std::move(label));
  }
  auto edit = std::make_unique<CMyEdit>(p, 10);
  if (!HoldsFileName(p)) return Owned(std::move(edit));
  auto grid = std::make_unique<CGroup>();
  grid->AddItem(std::move(edit), 0, 0);
  auto browse = std::make_unique<CMyBrowseButton>(EditBinding::Of(p), p.ItemList());
  browse->tabIndex = 2;
  grid->AddItem(std::move(browse), 0, 1);
  return Owned(std::move(grid));
}

}  // namespace kr::gui
