// A hosted plug-in's programs as VST bank (".fxb") and program (".fxp")
// files: the parameter form for plug-ins whose programs are parameters, the
// chunk form for those that keep their programs as chunks. A file is read
// whole and checked before anything reaches the plug-in: one of another
// plug-in, or a damaged one, changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kr {

class VST_Wrapper;

inline constexpr const char* kNotCompatibleText = "This file not compatible\n";
inline constexpr const char* kNotCompatibleChunkText = "This file not compatible - ";
inline constexpr const char* kSaveDisabledText = "Save Disabled by plugin";
inline constexpr const char* kCouldNotOpenText = "Couldn't open file.\n";

// The bank (all programs) or the current program as file bytes; none, with
// the message to show, when the plug-in gives no chunk.
std::optional<std::vector<std::uint8_t>> SaveHostedPrograms(VST_Wrapper& wrapper, bool programOnly,
                                                            std::string& message);
// Gives the plug-in a bank or program file; false, with the message to
// show, when the file does not fit it (nothing has changed then).
bool LoadHostedPrograms(VST_Wrapper& wrapper, std::span<const std::uint8_t> bytes, bool programOnly,
                        std::string& message);

}  // namespace kr
