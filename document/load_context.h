// What a document load collects for the steps after the root container is read.
#pragma once

#include <vector>

#include "formats/archive/archive_reader.h"

namespace kr {

class CLine2;

struct LoadContext final : ArchiveLoadContext {
  // Wires of old documents (version 36 and older), attached after the load.
  std::vector<CLine2*> wiresToAttach;
  // Wires converted from old-style lines: their ends still need ordering.
  std::vector<CLine2*> convertedWires;
};

// The document load's context of a reader; a reader without one (objects read
// outside a document load) fails the load.
LoadContext& LoadContextOf(ArchiveReader& ar);

}  // namespace kr
