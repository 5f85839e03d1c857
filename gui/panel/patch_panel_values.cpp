#include "gui/panel/patch_panel_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "document/cug.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "registry/interface_object.h"

namespace kr::gui {

namespace {

// A patch-memory module's position plug and what it stands for.
struct PatchPosition {
  CPlug2* value = nullptr;  // the patch value
  double minimum = 0, maximum = 10;
};

double Number(const CUG& owner, const char* name, double fallback) {
  const CPlug2* p = owner.FindPlug(name);
  if (!p || p->ValueText().empty()) return fallback;
  const double v = std::atof(p->ValueText().c_str());
  return std::isfinite(v) ? v : fallback;
}

// The plug at the other end of a widget plug's wire, when it is the
// "Animation Position" of a module holding a patch value.
std::optional<PatchPosition> PositionBehind(const CPlug2& plug) {
  for (const CLine2* wire : plug.Wires()) {
    if (!wire) continue;
    const CPlug2* other = wire->From() == &plug ? wire->To() : wire->From();
    if (!other || other->Name() != "Animation Position" || !other->Owner()) return std::nullopt;
    const CUG& owner = *other->Owner();
    CPlug2* value = owner.FindPlug("Value");
    if (!value || !(value->Flags() & (PF_PATCH_VALUE | PF_PATCH_VALUE_IN))) return std::nullopt;
    return PatchPosition{value, Number(owner, "Min Value", 0), Number(owner, "Max Value", 10)};
  }
  return std::nullopt;
}

std::string Text(double v) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, static_cast<float>(v));
  return {text, r.ptr};
}

}  // namespace

std::string PatchPanelValues::PlugValue(const CPlug2& plug) {
  const auto position = PositionBehind(plug);
  if (!position) return PanelValues::PlugValue(plug);
  const double span = position->maximum - position->minimum;
  if (!(span != 0)) return "0";
  const double n = (std::atof(position->value->ValueText().c_str()) - position->minimum) / span;
  return Text(std::isfinite(n) ? std::clamp(n, 0.0, 1.0) : 0.0);
}

void PatchPanelValues::SetPlugValue(CPlug2& plug, const std::string& text) {
  const auto position = PositionBehind(plug);
  if (!position) return PanelValues::SetPlugValue(plug, text);
  double n = std::atof(text.c_str());
  n = std::isfinite(n) ? std::clamp(n, 0.0, 1.0) : 0.0;
  position->value->SetValueText(Text(position->minimum + n * (position->maximum - position->minimum)));
}

}  // namespace kr::gui
