// The catalogue of stored module names: every name a document may use, with
// its legacy module number and its flag word.
#pragma once

#include <cstdint>
#include <span>

#include "registry/module_info.h"

namespace kr {

struct CatalogueRow {
  const char* name;
  std::int32_t flags;
  std::int32_t moduleNumber;  // -1: named only, never by number
};

// The 44 positions of the oldest documents, in order (position 10 is empty).
std::span<const CatalogueRow> LegacyCatalogue();
// Every other built-in module kind.
std::span<const CatalogueRow> NamedCatalogue();
// Panel-only modules and GUI-side helpers.
std::span<const CatalogueRow> PanelCatalogue();

}  // namespace kr
