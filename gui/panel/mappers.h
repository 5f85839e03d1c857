// Mappers: what a widget shows of the value it is bound to. A widget asks
// its mapper for its position (0..1) and its tooltip; the mapper reads the
// parameter through the panel's value source.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kr {

class CVisualOb;
class generic_parameter;

namespace gui {

class PanelValues;

class ControlMapper {
 public:
  virtual ~ControlMapper() = default;
  virtual float WidgetValue(PanelValues& values) = 0;
  // The widget moved to x (0..1): the parameter follows.
  virtual void SetWidgetValue(PanelValues& values, float x) = 0;
  virtual std::string Text(PanelValues& values);
  generic_parameter& Parameter() { return parameter_; }
  // The widget the mapper serves (set once, by the widget).
  virtual void Attach(CVisualOb& widget) {}

 protected:
  explicit ControlMapper(generic_parameter& parameter) : parameter_(parameter) {}
  generic_parameter& parameter_;
};

}  // namespace gui

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

// A button of the patch-selection bar, bound to its container's "Program":
// it acts when released, by its mode: 0 sends the command 34921 and 7 the
// command 32788 (copy) up the panel; 1 drops the list of programs down at
// the button ("Program Name" names them) and chooses one; 2 drops down the
// file menu ("Load Bank", "Save Bank", "Load Inst", "Save Inst": commands
// 34909 to 34912); 3 and 4 step "Program" down or up, held to its range.
class control_mapper_bmc_menu : public kr::gui::ControlMapper {
 public:
  enum Mode { kCommand = 0, kProgramList = 1, kFileMenu = 2, kPrevious = 3, kNext = 4, kCopy = 7 };
  static constexpr int kCommandId = 34921, kCopyCommand = 32788, kLoadBank = 34909;
  control_mapper_bmc_menu(generic_parameter& program, generic_parameter* programName, int mode)
      : ControlMapper(program), programName_(programName), mode_(mode) {}
  void Attach(CVisualOb& widget) override { widget_ = &widget; }
  float WidgetValue(kr::gui::PanelValues&) override { return pressed_; }
  void SetWidgetValue(kr::gui::PanelValues& values, float x) override;

 private:
  void Act(kr::gui::PanelValues& values);
  generic_parameter* programName_;
  int mode_;
  CVisualOb* widget_ = nullptr;
  float pressed_ = 0;
};

// A trigger: fires once each time its widget is pressed (the value leaves 0).
class control_mapper_event_trig : public kr::gui::ControlMapper {
 public:
  control_mapper_event_trig(generic_parameter& p, std::function<void()> fire)
      : ControlMapper(p), fire_(std::move(fire)) {}
  float WidgetValue(kr::gui::PanelValues&) override { return pressed_; }
  void SetWidgetValue(kr::gui::PanelValues&, float x) override;

 private:
  std::function<void()> fire_;
  float pressed_ = 0;
};

}  // namespace kr
