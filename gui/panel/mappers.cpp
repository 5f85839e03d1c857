#include "gui/panel/mappers.h"

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
  return 0.0f;  // next / previous buttons show their press only
}
