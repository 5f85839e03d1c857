// Mappers: what a widget shows of the value it is bound to. A widget asks
// its mapper for its position (0..1) and its tooltip; the mapper reads the
// parameter through the panel's value source.
#pragma once

#include <memory>
#include <string>

class generic_parameter;

namespace kr::gui {

class PanelValues;

class ControlMapper {
 public:
  virtual ~ControlMapper() = default;
  virtual float WidgetValue(PanelValues& values) = 0;
  // The widget moved to x (0..1): the parameter follows.
  virtual void SetWidgetValue(PanelValues& values, float x) = 0;
  virtual std::string Text(PanelValues& values);
  generic_parameter& Parameter() { return parameter_; }

 protected:
  explicit ControlMapper(generic_parameter& parameter) : parameter_(parameter) {}
  generic_parameter& parameter_;
};

}  // namespace kr::gui

// A number parameter: its normalised value.
class control_mapper_bmc_param : public kr::gui::ControlMapper {
 public:
  explicit control_mapper_bmc_param(generic_parameter& p) : ControlMapper(p) {}
  float WidgetValue(kr::gui::PanelValues& values) override;
  void SetWidgetValue(kr::gui::PanelValues& values, float x) override;
};

// An enumeration: the whole list (mode 3), one item (lit when the value is
// that item), or the next / previous buttons (mode 1 / other: they show the
// press only, so at rest 0).
class control_mapper_bmc_enum : public kr::gui::ControlMapper {
 public:
  control_mapper_bmc_enum(generic_parameter& p, int mode, std::string itemText = {})
      : ControlMapper(p), mode_(mode), itemText_(std::move(itemText)) {}
  float WidgetValue(kr::gui::PanelValues& values) override;
  // An item: chosen when x > 0. The whole list: the normalised value. Next
  // and previous: one item on (mode 1) or back when x > 0, held at the ends.
  void SetWidgetValue(kr::gui::PanelValues& values, float x) override;

 private:
  int mode_;
  std::string itemText_;
  float pressed_ = 0;  // what next / previous buttons show
};
