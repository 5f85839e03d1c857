// Builds documents in code: containers, modules by registry name, plugs,
// wires and embedded files, ready to be written as an archive. Used by tests
// and by the readable patch form.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "document/document_file.h"
#include "document/line2.h"

namespace kr {

// Refusal to build: an unknown module name, a missing plug, or two plugs
// that may not be joined (the message is the can-connect text).
class BuildError : public std::runtime_error {
 public:
  explicit BuildError(const std::string& what) : std::runtime_error(what) {}
};

class DocumentBuilder {
 public:
  DocumentBuilder();  // an empty root container made from "Container"

  StoredDocument& Document() { return *document_; }
  CContainer& Root() { return *document_->root; }

  CUG& AddModule(CContainer& parent, std::string_view registryName);
  CContainer& AddContainer(CContainer& parent);
  // Any document object, e.g. a control made from its stored class name.
  CDocOb& AddObject(CContainer& parent, std::unique_ptr<CDocOb> object);
  // An empty instance of a stored class (as a load would make it).
  static std::unique_ptr<CObject> MakeByClassName(std::string_view className);

  CPlug2& Plug(const CUG& module, std::string_view plugName);
  // Joins two plugs after the can-connect check.
  CLine2& Connect(CPlug2& a, CPlug2& b);
  // A boundary plug on a container (the outer side) and its partner on the
  // container's I/O module (the inner side).
  std::pair<CPlugIO2*, CPlugIO2*> AddBoundaryPlug(CContainer& container, PlugDirection outerDirection,
                                                  int dataType, std::string name = {});

  void EmbedFile(std::string name, std::vector<std::uint8_t> content);

  // Attaches parents and runs the post-load initialisation, then hands over.
  std::unique_ptr<StoredDocument> Finish();

 private:
  std::unique_ptr<StoredDocument> document_;
};

}  // namespace kr
