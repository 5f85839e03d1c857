#include "app/doc_vst.h"

#include "document/document_file.h"
#include "formats/image/stored_document.h"

namespace kr {

CKestruneDocBase::CKestruneDocBase() = default;
CKestruneDocBase::~CKestruneDocBase() = default;

namespace {

HeaderSettings CopySettings(const DocumentHeaderSettings& s) {
  HeaderSettings h;
  h.uniqueId = s.uniqueId;
  h.monoCapable = s.monoCapable;
  h.pluginFlags = s.pluginFlags;
  h.programCount = s.programCount;
  h.aboutText = s.aboutText;
  h.panelWidth = s.panelWidth;
  h.panelHeight = s.panelHeight;
  h.vendor = s.vendor;
  h.product = s.product;
  return h;
}

}  // namespace

bool CKestruneDocBase::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  // The files are handed over as soon as the header is read, before the root
  // container (whose modules may come from a library among them).
  DocumentLoadResult loaded = ReadDocument(bytes, LoadMode::Restricted, embeddedFilesHandler_);
  if (!loaded.document || !loaded.document->root) return false;
  loaded.document->embeddedFiles.clear();  // the application keeps what it needs
  document_ = std::move(loaded.document);
  document_->root->document = document_.get();
  settings_ = CopySettings(document_->settings);
  storedVersion_ = loaded.version;
  return true;
}

void CKestruneDocBase::NewDocument() {
  document_ = std::make_unique<StoredDocument>();
  document_->root = std::make_unique<CContainer>(FindModuleEntry("Container"));
  document_->root->SetTitle("Main");
  document_->root->document = document_.get();
  FinishTree(*document_->root);
  settings_ = CopySettings(document_->settings);
  storedVersion_ = kCurrentDocumentVersion;
}

CContainer* CKestruneDocBase::Root() const { return document_ ? document_->root.get() : nullptr; }

CContainer* CKestruneDocBase::TopContainer() const {
  CContainer* root = Root();
  // A disabled container passes its exclusion on to everything inside it.
  if (!root || root->Disabled()) return nullptr;
  for (const auto& child : root->Children()) {
    auto* container = DynamicKind<CContainer>(child.get());
    if (container && !container->Disabled()) return container;
  }
  return nullptr;
}

bool CKestruneDocVST::LoadFromPlugin(const std::string& pluginPath) {
  const auto bytes = kr::ReadStoredDocument(pluginPath);
  if (!bytes) return false;
  return LoadFromBytes(*bytes) && Root() != nullptr;
}

}  // namespace kr
