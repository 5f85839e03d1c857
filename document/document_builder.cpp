#include "document/document_builder.h"

#include "document/class_catalog.h"
#include "registry/module_info.h"

namespace kr {

DocumentBuilder::DocumentBuilder() : document_(std::make_unique<StoredDocument>()) {
  document_->root = std::make_unique<CContainer>(FindModuleEntry("Container"));
}

CUG& DocumentBuilder::AddModule(CContainer& parent, std::string_view registryName) {
  std::unique_ptr<CUG> module = MakeDocumentObjectByName(registryName);
  if (!module) throw BuildError("no module named " + std::string(registryName));
  return static_cast<CUG&>(parent.AddChild(std::move(module)));
}

CContainer& DocumentBuilder::AddContainer(CContainer& parent) {
  return static_cast<CContainer&>(parent.AddChild(std::make_unique<CContainer>(FindModuleEntry("Container"))));
}

CDocOb& DocumentBuilder::AddObject(CContainer& parent, std::unique_ptr<CDocOb> object) {
  return parent.AddChild(std::move(object));
}

std::unique_ptr<CObject> DocumentBuilder::MakeByClassName(std::string_view className) {
  const RuntimeClass* cls = FindRuntimeClass(className);
  if (!cls) throw BuildError("no class named " + std::string(className));
  return cls->create();
}

CPlug2& DocumentBuilder::Plug(const CUG& module, std::string_view plugName) {
  if (CPlug2* plug = module.FindPlug(plugName)) return *plug;
  throw BuildError("no plug named " + std::string(plugName) + " on " + module.Title());
}

CLine2& DocumentBuilder::Connect(CPlug2& a, CPlug2& b) {
  std::string message;
  if (!a.CanConnect(b, message)) throw BuildError(message);
  CContainer* parent = a.Owner() ? a.Owner()->Parent() : nullptr;
  if (!parent) parent = &Root();
  return parent->MakeWire(a, b);
}

std::pair<CPlugIO2*, CPlugIO2*> DocumentBuilder::AddBoundaryPlug(CContainer& container, PlugDirection outerDirection,
                                                                 int dataType, std::string name) {
  CUG* io = container.FindOrCreateIOModule();
  if (!io) throw BuildError("no \"IO Mod\" module");
  auto outer = std::make_unique<CPlugIO2>(-1);
  auto inner = std::make_unique<CPlugIO2>(-1);
  outer->SetDirection(outerDirection);
  inner->SetDirection(outerDirection == DR_IN ? DR_OUT : DR_IN);
  outer->SetDataType(dataType);
  inner->SetDataType(dataType);
  outer->SetUserName(name);
  inner->SetUserName(std::move(name));
  outer->SetPartner(inner.get());
  inner->SetPartner(outer.get());
  auto* o = static_cast<CPlugIO2*>(&container.AddPlug(std::move(outer)));
  auto* i = static_cast<CPlugIO2*>(&io->AddPlug(std::move(inner)));
  return {o, i};
}

void DocumentBuilder::EmbedFile(std::string name, std::vector<std::uint8_t> content) {
  document_->embeddedFiles.push_back(std::make_unique<imbedded_file>(std::move(name), std::move(content)));
}

std::unique_ptr<StoredDocument> DocumentBuilder::Finish() {
  FinishTree(*document_->root);
  document_->root->document = document_.get();
  auto done = std::move(document_);
  document_ = std::make_unique<StoredDocument>();
  document_->root = std::make_unique<CContainer>(FindModuleEntry("Container"));
  return done;
}

}  // namespace kr
