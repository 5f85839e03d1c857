// Program and bank chunks: what the host saves of the plug-in's programs and
// hands back later. Written in the 852171 layout; 852154, 852170, 852171 and
// 852218 are read. A chunk comes from outside: it is read whole into a
// staging copy first, and nothing changes when it does not fit.
// GUI thread only.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kr {

class CControl;
class CPatchManager;

class PatchMemory;

inline constexpr std::int32_t kChunkMagic852154 = 852154;
inline constexpr std::int32_t kChunkMagic852170 = 852170;
inline constexpr std::int32_t kChunkMagic = 852171;  // the one written
inline constexpr std::int32_t kChunkMagic852218 = 852218;

inline constexpr const char* kSomeParametersNotLoaded = "Some parameters could not be loaded";

// What a chunk covers: the top container's patch memory (names and patch
// parameters) and its legacy controls in legacy order.
struct ChunkSubject {
  CPatchManager* names = nullptr;  // program names and the current program
  PatchMemory* memory = nullptr;   // patch parameters; may be null
  std::vector<CControl*> legacy;   // in legacy order (LegacyOrder)
};

// Kind byte, then name in byte order, keeping the children's order on ties.
std::vector<CControl*> LegacyOrder(std::vector<CControl*> controls);

std::vector<std::uint8_t> WriteChunk(const ChunkSubject& subject, bool isPreset);

enum class ChunkReadResult { Loaded, Ignored, Refused };
// Ignored: a magic that is not a chunk's (nothing read). Refused: damaged or
// of the wrong kind (nothing changed). Loaded: values and names stored, and
// applied when the current program is among them; entries that matched
// nothing are dropped with the message kSomeParametersNotLoaded, and an
// unknown patch parameter stops the reading there, keeping what came before.
ChunkReadResult ReadChunk(const ChunkSubject& subject, std::span<const std::uint8_t> bytes, bool isPreset);

}  // namespace kr
