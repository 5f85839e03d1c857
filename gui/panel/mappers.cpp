#include "gui/panel/mappers.h"

#include <algorithm>
#include <vector>

#include "document/generic_parameter.h"
#include "gui/panel/panel_values.h"
#include "registry/item_list.h"

namespace kr::gui {

std::string ControlMapper::Text(PanelValues& values) { return values.DisplayText(parameter_); }

}  // namespace kr::gui

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
    it_enum_list it(list);
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
  it_enum_list it(list);
  for (it.First(); !it.IsDone() && items.size() < 4096; it.Next()) items.push_back(it.CurrentValue());
  if (items.empty()) return;
  const int current = ParameterTextToInt(values.ValueText(parameter_));
  std::size_t at = 0;
  while (at < items.size() && items[at] != current) ++at;
  if (at == items.size()) at = 0;
  const std::size_t next = mode_ == 1 ? std::min(at + 1, items.size() - 1) : (at > 0 ? at - 1 : 0);
  if (items[next] != current) values.SetValueText(parameter_, std::to_string(items[next]));
}
