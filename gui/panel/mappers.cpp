#include "gui/panel/mappers.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "document/generic_parameter.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/drop_down.h"
#include "registry/item_list.h"

namespace kr {

namespace gui {

std::string ControlMapper::Text(PanelValues& values) { return values.DisplayText(parameter_); }

}  // namespace gui

using kr::gui::PanelValues;

float control_mapper_bmc_param::WidgetValue(PanelValues& values) { return values.Normalised(parameter_); }

float control_mapper_bmc_enum::WidgetValue(PanelValues& values) {
  if (!itemText_.empty()) {
    const std::string label = LabelOfValue(parameter_.ItemList(), ParameterTextToInt(values.ValueText(parameter_)));
    return label == itemText_ ? 1.0f : 0.0f;
  }
  if (mode_ == 3) return values.Normalised(parameter_);
  return pressed_;  // next / previous buttons show their press only
}

void control_mapper_bmc_param::SetWidgetValue(PanelValues& values, float x) { values.SetNormalised(parameter_, x); }

void control_mapper_bmc_enum::SetWidgetValue(PanelValues& values, float x) {
  const std::string list = parameter_.ItemList();
  if (!itemText_.empty()) {
    if (x <= 0) return;
    EnumListIterator it(list);
    for (it.First(); !it.IsDone(); it.Next())
      if (it.CurrentLabel() == itemText_) {
        values.SetValueText(parameter_, std::to_string(it.CurrentValue()));
        return;
      }
    return;
  }
  if (mode_ == 3) {
    values.SetNormalised(parameter_, x);
    return;
  }
  pressed_ = x > 0 ? 1.0f : 0.0f;
  if (x <= 0) return;
  // The items in list order, and where the current value stands among them.
  std::vector<int> items;
  EnumListIterator it(list);
  for (it.First(); !it.IsDone() && items.size() < 4096; it.Next()) items.push_back(it.CurrentValue());
  if (items.empty()) return;
  const int current = ParameterTextToInt(values.ValueText(parameter_));
  std::size_t at = 0;
  while (at < items.size() && items[at] != current) ++at;
  if (at == items.size()) at = 0;
  const std::size_t next = mode_ == 1 ? std::min(at + 1, items.size() - 1) : (at > 0 ? at - 1 : 0);
  if (items[next] != current) values.SetValueText(parameter_, std::to_string(items[next]));
}

void control_mapper_bmc_menu::SetWidgetValue(PanelValues& values, float x) {
  const float was = std::exchange(pressed_, x > 0 ? 1.0f : 0.0f);
  if (was > 0 && pressed_ == 0) Act(values);  // on the release
}

void control_mapper_bmc_menu::Act(PanelValues& values) {
  generic_parameter& program = parameter_;
  const int current = ParameterTextToInt(values.ValueText(program));
  switch (mode_) {
    case kPrevious:
    case kNext: {
      const int next = std::clamp(current + (mode_ == kNext ? 1 : -1), 0, std::max(0, program.LastItemValue()));
      if (next != current) values.SetValueText(program, std::to_string(next));
      return;
    }
    case kCommand:
    case kCopy:
      if (widget_) widget_->OnCommand(mode_ == kCopy ? kCopyCommand : kCommandId, {});
      return;
    case kProgramList:
    case kFileMenu: {
      if (!widget_) return;
      std::vector<std::string> items;
      if (mode_ == kFileMenu) {
        items = {"Load Bank", "Save Bank", "Load Inst", "Save Inst"};
      } else {
        EnumListIterator it(programName_ ? programName_->ItemList() : program.ItemList());
        for (it.First(); !it.IsDone() && items.size() < 128; it.Next()) items.push_back(it.CurrentLabel());
      }
      CVisualOb* widget = widget_;
      PanelValues* panelValues = &values;
      const int mode = mode_;
      CDropDownList::Open(*widget, widget->GetClientRect(), std::move(items), mode == kFileMenu ? -1 : current,
                          [widget, panelValues, &program, mode](int index) {
                            if (mode == kFileMenu) widget->OnCommand(kLoadBank + index, {});
                            else panelValues->SetValueText(program, std::to_string(index));
                          });
      return;
    }
    default: return;  // the pattern sequencer's modes: no sequencer here
  }
}

void control_mapper_event_trig::SetWidgetValue(PanelValues&, float x) {
  const float was = std::exchange(pressed_, x > 0 ? 1.0f : 0.0f);
  if (was == 0 && pressed_ > 0 && fire_) fire_();
}

}  // namespace kr
