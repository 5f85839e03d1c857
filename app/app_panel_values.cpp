#include "app/app_panel_values.h"

#include "graph/sound_engine.h"

namespace kr {

std::optional<float> AppPanelValues::MeterLevel(const CUG& module) {
  return engine_.Running() ? engine_.DisplayValue(module) : std::nullopt;
}

std::vector<float> AppPanelValues::Curve(const CUG& module) {
  return engine_.Running() ? engine_.Curve(module) : std::vector<float>{};
}

std::vector<std::string> AppPanelValues::TakePrinted(const CUG& module) {
  return engine_.TakePrinted(module);
}

}  // namespace kr
