// The hosted plug-ins' own state inside Kestrune's program and bank chunks,
// so that a host that saves the plug-in's chunk keeps theirs too. It follows
// the chunk's patch part, which chunk readers stop short of, and ends in a
// trailer that finds it from the end: [entries][count][entry bytes]["KRhp"].
// Each entry names its module by position among the tree's hosted modules
// (document order) and the plug-in's unique ID, and holds the plug-in's
// bank file (bank chunks) or program file (program chunks).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kr {

class CContainer;

// Empty when no hosted plug-in is loaded in the tree.
std::vector<std::uint8_t> WriteHostedStates(CContainer& top, bool isPreset);
// Gives each loaded plug-in of the tree its entry from a chunk; chunks
// without a trailer, and entries that do not fit (another plug-in, damaged
// bytes), change nothing. Answers how many plug-ins took theirs.
int ReadHostedStates(CContainer& top, std::span<const std::uint8_t> chunk, bool isPreset);

}  // namespace kr
