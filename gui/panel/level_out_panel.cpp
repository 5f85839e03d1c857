#include "gui/panel/level_out_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "document/cug.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/widgets.h"
#include "registry/interface_object.h"

namespace kr::gui {

std::string VoltText(double v) {
  char text[64];
  std::snprintf(text, sizeof text, std::fabs(v) < 1 ? "%.3f" : std::fabs(v) < 100 ? "%.2f" : "%.1f", v);
  return text;
}

float LevelOutValue::Level() const {
  const std::optional<float> level = ValuesOf(shownBy_).MeterLevel(module_);
  return level && std::isfinite(*level) ? std::clamp(*level, 0.0f, 1.0f) : 0.0f;
}

std::string LevelOutValue::Name() const { return module_.Title(); }
int LevelOutValue::DataType() const { return DT_FLOAT; }

CLevelOutPanel::CLevelOutPanel(CUG& module) : value_(std::make_unique<LevelOutValue>(module, *this)) {
  auto meter = std::make_unique<CMyBmpCtrl>("bar_graph1", std::make_unique<control_mapper_bmc_param>(*value_));
  meter->SetFlags(VF_READ_ONLY);
  AddItem(std::move(meter));
  auto text = std::make_unique<CMyTextLabel>("", "control_label", LF_TRANSPARENT | LF_CENTRE);
  text->SetFlags(VF_STRETCH_WIDTH);
  text->SetSource([value = value_.get()] { return value->ValueText(); });
  AddItem(std::move(text));
}

// The widgets go before the value they show.
CLevelOutPanel::~CLevelOutPanel() { DeleteChildren(); }

}  // namespace kr::gui
