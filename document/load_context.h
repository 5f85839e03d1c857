// What a load collects for the steps after the root container is read.
#pragma once

#include <vector>

class CLine2;

struct LoadContext {
  // Wires of old documents (version 36 and older), attached after the load.
  std::vector<CLine2*> wiresToAttach;
  // Wires converted from old-style lines: their ends still need ordering.
  std::vector<CLine2*> convertedWires;
};
