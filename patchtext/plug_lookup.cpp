#include "patchtext/plug_lookup.h"

#include <charconv>

#include "document/cug.h"

namespace patchtext {

namespace {

CPlug2* NthNamed(const CUG& module, std::string_view name, int n) {
  for (const auto& p : module.Plugs())
    if (p->Name() == name && --n == 0) return p.get();
  return nullptr;
}

}  // namespace

CPlug2* FindPlugByKey(const CUG& module, std::string_view key) {
  // A plug whose own name holds '#' is found by that name first.
  if (CPlug2* exact = NthNamed(module, key, 1)) return exact;
  const std::size_t hash = key.rfind('#');
  if (hash == std::string_view::npos) return nullptr;
  int n = 0;
  const std::string_view digits = key.substr(hash + 1);
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || end != digits.data() + digits.size() || n < 1) return nullptr;
  return NthNamed(module, key.substr(0, hash), n);
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
