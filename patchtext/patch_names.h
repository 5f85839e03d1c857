// The words the patch text uses for plug data types and directions, and the
// base64 form of embedded file contents.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry/plug_types.h"

namespace kr {

namespace patchtext {

// "enum", "text", "midi", "double", "bool", "audio", "float", "int".
std::optional<int> DataTypeByName(std::string_view name);
std::string DataTypeName(int dataType);  // the number as text for a type without a name

// "in", "out".
std::optional<PlugDirection> DirectionByName(std::string_view name);
std::string DirectionName(PlugDirection direction);

// A patch value's MIDI controller: "none", "learn", "CC 74", "RPN 2",
// "NRPN 300" (nothing for another text or a number out of range).
std::optional<std::int32_t> ControllerByName(std::string_view name);
std::string ControllerName(std::int32_t identifier);  // the number as text when it has no name

// A hosted plug-in's parameter binding (controller in the high half, the
// RPN or NRPN number in the low half) for a controller identifier and back;
// "learn" has none.
inline constexpr std::int32_t kNoHostedBinding = static_cast<std::int32_t>(0xFFFF0000u);
std::optional<std::int32_t> HostedBindingWord(std::int32_t controllerIdentifier);
std::int32_t ControllerOfHostedBinding(std::int32_t word);

std::string Base64Encode(std::span<const std::uint8_t> bytes);
// Nothing when the text is not base64 (white space is ignored).
std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text);

}  // namespace patchtext

}  // namespace kr
