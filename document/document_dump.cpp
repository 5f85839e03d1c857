#include "document/document_dump.h"

#include <sstream>

#include "document/document_file.h"
#include "document/line2.h"
#include "registry/module_info.h"

namespace kr {

namespace {

std::string PlugLabel(const CPlug2* plug) {
  if (!plug) return "(none)";
  const std::string owner = plug->Owner() ? plug->Owner()->Title() : std::string("?");
  return owner + "." + plug->Name();
}

void DumpObject(std::ostringstream& out, const CDocOb& ob, int depth) {
  const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  out << indent << ob.Class().name;
  if (const auto* wire = DynamicKind<CLine2>(&ob)) {
    out << ' ' << PlugLabel(wire->From()) << " -> " << PlugLabel(wire->To()) << '\n';
    return;
  }
  out << " [" << (ob.Entry() ? ob.Entry()->name : std::string()) << "] \"" << ob.Title() << "\"\n";
  if (const auto* module = DynamicKind<CUG>(&ob)) {
    for (const auto& plug : module->Plugs())
      out << indent << "  . " << plug->Class().name << ' ' << plug->DefinitionIndex() << " \"" << plug->Name()
          << "\" dir " << plug->Direction() << " type " << plug->DataType() << " = \"" << plug->ValueText()
          << "\" wires " << plug->Wires().size() << '\n';
  }
  if (const auto* container = DynamicKind<CContainer>(&ob))
    for (const auto& child : container->Children()) DumpObject(out, *child, depth + 1);
}

}  // namespace

std::string DumpContainer(const CContainer& container) {
  std::ostringstream out;
  DumpObject(out, container, 0);
  return out.str();
}

std::string DumpDocument(const StoredDocument& document) {
  std::ostringstream out;
  out << "files " << document.embeddedFiles.size() << ", skins " << document.skins.size() << '\n';
  if (document.root) DumpObject(out, *document.root, 0);
  return out.str();
}

}  // namespace kr
