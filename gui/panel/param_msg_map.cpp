#include "gui/panel/param_msg_map.h"

#include "document/plug2.h"
#include "gui/visual/layout.h"
#include "gui/visual/widgets.h"
#include "registry/midi_lists.h"

namespace kr::gui {

namespace {

// A grid that holds the map its widgets show.
class MapHolder final : public CGroup {
 public:
  explicit MapHolder(std::unique_ptr<ParamMsgMap> map)
      : CGroup(VF_PARENT_MENU | VF_AUTO_SIZE | VF_OWNED | VF_STRETCH_HEIGHT), map_(std::move(map)) {}
  ~MapHolder() override { DeleteChildren(); }  // the widgets go before the map
  ParamMsgMap& Map() { return *map_; }

 private:
  std::unique_ptr<ParamMsgMap> map_;
};

}  // namespace

ParamMsgMap::ParamMsgMap(generic_parameter& target, int code) : target_(&target), code_(code) {
  target.AddObserver(this);
}

ParamMsgMap::~ParamMsgMap() {
  if (target_) target_->RemoveObserver(this);
}

bool ParamMsgMap::Editable() const {
  if (!target_) return false;
  if (code_ == kName) return dynamic_cast<CPlugNameable*>(target_) != nullptr;
  return code_ == kController || code_ == kNrpn;
}

std::string ParamMsgMap::ValueText() const {
  if (!target_) return {};
  switch (code_) {
    case kName: return target_->Name();
    case kValueText: return target_->DisplayText();
    case kController: return std::to_string(target_->MidiController());
    case kNrpn: return std::to_string(target_->MidiNrpn());
    default: return {};
  }
}

void ParamMsgMap::SetValueText(std::string_view text) {
  if (!target_ || !Editable()) return;
  if (code_ == kName) static_cast<CPlugNameable*>(target_)->SetUserName(std::string(text));
  else if (code_ == kController) target_->SetMidiController(ParameterTextToInt(text));
  else target_->SetMidiNrpn(ParameterTextToInt(text));
  AnnounceValue();
}

std::string ParamMsgMap::Name() const {
  switch (code_) {
    case kName: return "Parameter Name";
    case kValueText: return target_ ? target_->Label() : std::string();
    case kController: return "Controller";
    default: return "Non Registered Parameter Number";
  }
}

int ParamMsgMap::DataType() const { return code_ == kController || code_ == kNrpn ? DT_ENUM : DT_TEXT; }

std::string ParamMsgMap::ItemList() const {
  if (code_ == kController) return midi_lists::kControllers;
  if (code_ == kNrpn) return "range 0,16383";
  return {};
}

void ParamMsgMap::OnNotify(Notifier* source, int code, void*) {
  if (source != target_) return;
  if (code == NC_PARAMETER_GONE) {
    target_ = nullptr;
    return;
  }
  // The attribute this map shows changed: its widget hears of it from the map.
  if (code == code_ || (code_ == kValueText && code == NC_PARAMETER_VALUE)) AnnounceValue();
}

std::unique_ptr<CVisualOb> MakeParamMsgMapWidget(generic_parameter& target, int code) {
  auto holder = std::make_unique<MapHolder>(std::make_unique<ParamMsgMap>(target, code));
  ParamMsgMap& map = holder->Map();
  if (code == ParamMsgMap::kController) {
    holder->AddItem(std::make_unique<CMyCombobox>(map));
  } else if (code == ParamMsgMap::kNrpn) {
    holder->AddItem(std::make_unique<CMyEdit>(map, 6), 0, 0);
    holder->AddItem(std::make_unique<CMySpinButtonCtrl>(map), 0, 1);
  } else if (map.Editable()) {
    holder->AddItem(std::make_unique<CMyEdit>(map, 10));
  } else {
    auto label = std::make_unique<CMyTextLabel>("", "control_label", LF_TRANSPARENT);
    label->SetSource([&map] { return map.ValueText(); });
    holder->AddItem(std::move(label));
  }
  return holder;
}

}  // namespace kr::gui
