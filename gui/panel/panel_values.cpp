#include "gui/panel/panel_values.h"

#include "document/cug.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "registry/interface_object.h"

namespace kr::gui {

float PanelValues::Normalised(const generic_parameter& p) { return p.NormalisedValue(); }
std::string PanelValues::ValueText(const generic_parameter& p) { return p.ValueText(); }
std::string PanelValues::DisplayText(const generic_parameter& p) { return p.DisplayText(); }

std::string PanelValues::PlugValue(const CPlug2& plug) {
  for (const CLine2* wire : plug.Wires()) {
    if (!wire) continue;
    const CPlug2* other = wire->From() == &plug ? wire->To() : wire->From();
    if (!other) continue;
    if (other->Flags() & (PF_PATCH_VALUE | PF_PATCH_VALUE_IN))
      if (auto v = PatchParameterValue(*other)) return *v;
    return other->ValueText();
  }
  if (plug.Flags() & (PF_PATCH_VALUE | PF_PATCH_VALUE_IN))
    if (auto v = PatchParameterValue(plug)) return *v;
  return plug.ValueText();
}

std::optional<std::string> PanelValues::PatchParameterValue(const CPlug2&) { return std::nullopt; }
std::optional<float> PanelValues::MeterLevel(const CUG&) { return std::nullopt; }

}  // namespace kr::gui
