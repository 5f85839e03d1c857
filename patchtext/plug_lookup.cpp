#include "patchtext/plug_lookup.h"

#include <charconv>
#include <memory>
#include <utility>

#include "document/cug.h"
#include "document/plug2.h"
#include "registry/interface_object.h"

namespace kr {

namespace patchtext {

namespace {

CPlug2* NthNamed(const CUG& module, std::string_view name, int n) {
  for (const auto& p : module.Plugs())
    if (p->Name() == name && --n == 0) return p.get();
  return nullptr;
}

// "Name#n" split; n is 0 when the key has no valid number.
std::pair<std::string_view, int> SplitKey(std::string_view key) {
  const std::size_t hash = key.rfind('#');
  if (hash == std::string_view::npos) return {key, 0};
  int n = 0;
  const std::string_view digits = key.substr(hash + 1);
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || end != digits.data() + digits.size() || n < 1) return {key, 0};
  return {key.substr(0, hash), n};
}

// No document grows more plugs than this on one list.
constexpr int kMaxGrownPlugs = 256;

}  // namespace

CPlug2* FindPlugByKey(const CUG& module, std::string_view key) {
  // A plug whose own name holds '#' is found by that name first.
  if (CPlug2* exact = NthNamed(module, key, 1)) return exact;
  const auto [name, n] = SplitKey(key);
  return n > 0 ? NthNamed(module, name, n) : nullptr;
}

namespace {
// A copy of a growing feature plug (the spare outputs of a GUI-side module,
// which its logic adds as they are wired).
std::unique_ptr<CPlug2> GrownFeaturePlug(const CPlugFeature& first) {
  auto plug = std::make_unique<CPlugFeature>(kClassCPlugFeature4);
  plug->name_ = first.name_;
  plug->direction_ = first.direction_;
  plug->dataType_ = first.dataType_;
  plug->storedFlags = first.storedFlags;
  plug->secondText = first.secondText;
  plug->SetValueText("0");
  return plug;
}
}  // namespace

CPlug2* FindOrGrowPlug(CUG& module, std::string_view key) {
  if (CPlug2* found = FindPlugByKey(module, key)) return found;
  const auto [name, n] = SplitKey(key);
  const CPlug2* first = n > 0 && n <= kMaxGrownPlugs ? NthNamed(module, name, 1) : nullptr;
  if (const auto* feature = dynamic_cast<const CPlugFeature*>(first);
      feature != nullptr && feature->DefinitionIndex() < 0 && (feature->Flags() & PF_AUTO_DUPLICATE) != 0) {
    while (NthNamed(module, name, n) == nullptr) module.AddPlug(GrownFeaturePlug(*feature));
    return NthNamed(module, name, n);
  }
  if (first == nullptr || (first->Definition().flags & (PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT)) == 0) return nullptr;
  const int index = first->DefinitionIndex();
  const bool nameable = (first->Definition().flags & PF_RENAME) != 0;
  const std::string defaultText = first->Definition().defaultText;
  while (NthNamed(module, name, n) == nullptr) {
    std::unique_ptr<CPlug2> plug = nameable ? std::make_unique<CPlugNameable>(index) : std::make_unique<CPlug2>(index);
    CPlug2& added = module.AddPlug(std::move(plug));
    if (!added.BoundVariable()) added.SetValueText(defaultText);
  }
  return NthNamed(module, name, n);
}

std::string PlugKey(const CUG& module, const CPlug2& plug) {
  const std::string name = plug.Name();
  int n = 0;
  for (const auto& p : module.Plugs()) {
    if (p->Name() == name) ++n;
    if (p.get() == &plug) break;
  }
  return n <= 1 && name.find('#') == std::string::npos ? name : name + "#" + std::to_string(n);
}

}  // namespace patchtext

}  // namespace kr
