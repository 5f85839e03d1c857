// Plugs named the way the patch text names them: "Name", or "Name#n" for the
// n-th plug of that name on one module (n from 1; "Name" is "Name#1").
#pragma once

#include <string>
#include <string_view>

namespace kr {

class CPlug2;
class CUG;

namespace patchtext {

CPlug2* FindPlugByKey(const CUG& module, std::string_view key);
// The same, except that "Name#n" of a growing plug list (a counter's outputs,
// a gate's inputs) makes the list's plugs up to the n-th when it has fewer.
CPlug2* FindOrGrowPlug(CUG& module, std::string_view key);
// The key that FindPlugByKey turns back into this plug.
std::string PlugKey(const CUG& module, const CPlug2& plug);

}  // namespace patchtext

}  // namespace kr
