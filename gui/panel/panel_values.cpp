#include "gui/panel/panel_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "document/cug.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "engine/ug_base.h"
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

void PanelValues::SetNormalised(generic_parameter& p, float normalised) {
  if (p.DataType() != DT_DOUBLE) return p.SetNormalisedValue(normalised);
  // A number control shows 0..10 as 0..1, and a widget sets it that way.
  if (!std::isfinite(normalised)) return;
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, std::clamp(normalised, 0.0f, 1.0f) * 10.0f);
  p.SetValueText(std::string_view(text, static_cast<std::size_t>(r.ptr - text)));
}
void PanelValues::SetValueText(generic_parameter& p, const std::string& text) { p.SetValueText(text); }

void PanelValues::SetPlugValue(CPlug2& plug, const std::string& text) {
  for (const CLine2* wire : plug.Wires()) {
    if (!wire) continue;
    CPlug2* other = wire->From() == &plug ? wire->To() : wire->From();
    if (!other) continue;
    if (other->Flags() & (PF_PATCH_VALUE | PF_PATCH_VALUE_IN))
      if (SetPatchParameterValue(*other, text)) return;
    other->SetValueText(text);
    return;
  }
  if (plug.Flags() & (PF_PATCH_VALUE | PF_PATCH_VALUE_IN))
    if (SetPatchParameterValue(plug, text)) return;
  plug.SetValueText(text);
}

void PanelValues::ArmMidiLearn(generic_parameter& p) { p.SetMidiController(kLearnController); }

bool PanelValues::SetPatchParameterValue(CPlug2&, const std::string&) { return false; }
std::optional<float> PanelValues::MeterLevel(const CUG&) { return std::nullopt; }
std::vector<std::string> PanelValues::TakePrinted(const CUG&) { return {}; }
std::vector<float> PanelValues::Curve(const CUG&) { return {}; }

void PanelValues::SendNotify(CUG& module, int kind, int value) {
  for (ug_base* audio = module.AudioObject(); audio != nullptr; audio = audio->nextClone) audio->PostNotify(kind, value);
}

}  // namespace kr::gui
