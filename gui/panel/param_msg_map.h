// ParamMsgMap: one attribute of another parameter presented as a parameter
// of its own, so that an ordinary widget can show or edit it: its name (30),
// its value text (31), its MIDI controller (32, chosen from the controller
// list) or its NRPN (33, 0 .. 16383). The code is the one the parameter
// announces a change of that attribute with. GUI thread only.
#pragma once

#include <memory>
#include <string>

#include "document/generic_parameter.h"
#include "gui/visual/visual_ob.h"

namespace kr::gui {

class ParamMsgMap final : public generic_parameter, public Notifiable {
 public:
  enum Code { kName = 30, kValueText = 31, kController = 32, kNrpn = 33 };

  ParamMsgMap(generic_parameter& target, int code);
  ~ParamMsgMap() override;
  // Null once the parameter has gone.
  generic_parameter* Target() const { return target_; }
  int Code() const { return code_; }
  // Whether the widget may change the attribute (a name only when the
  // parameter can be renamed; the value text never).
  bool Editable() const;

  std::string ValueText() const override;
  // Renames the parameter (30), or sets its controller (32) or NRPN (33)
  // from decimal text.
  void SetValueText(std::string_view text) override;
  std::string Name() const override;
  int DataType() const override;
  std::string ItemList() const override;
  void OnNotify(Notifier* source, int code, void* data) override;

 private:
  generic_parameter* target_;
  int code_;
};

// The widget of a map: a label (name, value text), an edit box (a name
// that can change), a combo box (controller), an edit box with up-down
// arrows (NRPN). The widget holds the map.
std::unique_ptr<CVisualOb> MakeParamMsgMapWidget(generic_parameter& target, int code);

}  // namespace kr::gui
