// A readable outline of a document tree, for tools and test failures.
#pragma once

#include <string>

namespace kr {

struct StoredDocument;
class CContainer;

// One line per object, indented by depth: class, entry, title, plugs with
// their values, wires as "module.plug -> module.plug".
std::string DumpDocument(const StoredDocument& document);
std::string DumpContainer(const CContainer& container);

}  // namespace kr
