// Turning a document back into the patch text. Whatever the text form cannot
// describe (controls' stored values, skins, patch parameters, objects without
// a registry entry) is left out or marked "unsupported"; documents made from
// the text come back unchanged.
#pragma once

#include <string>

namespace kr {

struct StoredDocument;

namespace patchtext {

std::string DumpPatchText(const StoredDocument& document);

}  // namespace patchtext

}  // namespace kr
