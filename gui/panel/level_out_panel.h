// The panel of "Patch Parameter - Level Out": a bar graph of the level its
// audio half reports and the level as text, in volts (level x 10).
#pragma once

#include <memory>
#include <string>

#include "document/generic_parameter.h"
#include "gui/visual/layout.h"

namespace kr {

class CUG;

namespace gui {

// Volts as meters show them: "%.3f" below 1, "%.2f" below 100, else "%.1f".
std::string VoltText(double volts);

// The level as a parameter the widgets can show: 0..1 (0 before the first
// report), its text in volts.
class LevelOutValue final : public generic_parameter {
 public:
  LevelOutValue(CUG& module, CVisualOb& shownBy) : module_(module), shownBy_(shownBy) {}
  float Level() const;
  float NormalisedValue() const override { return Level(); }
  std::string ValueText() const override { return VoltText(Level() * 10.0); }
  std::string DisplayText() const override { return ValueText(); }
  void SetValueText(std::string_view) override {}  // display only
  std::string Name() const override;
  int DataType() const override;

 private:
  CUG& module_;
  CVisualOb& shownBy_;
};

class CLevelOutPanel final : public CGroup {
 public:
  explicit CLevelOutPanel(CUG& module);
  ~CLevelOutPanel() override;

 private:
  std::unique_ptr<LevelOutValue> value_;
};

}  // namespace gui

}  // namespace kr
