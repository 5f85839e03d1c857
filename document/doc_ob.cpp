#include "document/doc_ob.h"

#include "document/container.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "registry/module_registry.h"

namespace kr {

const RuntimeClass CDocOb::kClass{"CDocOb", 1, false, nullptr, &MakePlain<CDocOb>};

Module_Info* FindModuleEntry(std::string_view name) {
  if (name.empty()) return nullptr;
  return ModuleRegistry::Get().FindByName(name);
}

Module_Info* FindModuleEntryByNumber(int moduleNumber) {
  if (moduleNumber < 0) return nullptr;
  const std::string name = ModuleRegistry::Get().NameByModuleNumber(moduleNumber);
  return FindModuleEntry(name);
}

void CDocOb::SetEntryByName(std::string_view name) { entry_ = FindModuleEntry(name); }

void CDocOb::SetSelected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  Notify(NC_SELECTION);
}

StoredDocument* CDocOb::OwningDocument() const {
  const CDocOb* ob = this;
  while (ob->parent_) ob = ob->parent_;
  const auto* root = DynamicKind<CContainer>(ob);
  return root ? root->document : nullptr;
}

CPatchManager* CDocOb::NearestPatchMemory() const { return parent_ ? parent_->NearestPatchMemory() : nullptr; }

DocRect CDocOb::GetRect(int) const { return {}; }

void CDocOb::SetRect(int viewKind, const DocRect&) { Notify(NC_RECT, reinterpret_cast<void*>(static_cast<std::intptr_t>(viewKind))); }

std::string CDocOb::Title() const { return entry_ ? entry_->name : std::string(); }

void CDocOb::LoadDocObPart(ArchiveReader& ar) {
  const int v = ar.Version();
  if (v >= 8) {
    if (v <= 78) {
      entry_ = FindModuleEntryByNumber(ar.ReadInt32());
    } else {
      std::string name = ar.ReadText();
      entry_ = FindModuleEntry(name);
      if (entry_ == nullptr) unresolvedName_ = std::move(name);
    }
  }
  if (v <= 58) ar.ReadObject(&CContainer::kClass);  // the former parent link, dropped
}

void CDocOb::StoreDocObPart(ArchiveWriter& ar) const {
  const int v = ar.Version();
  if (v >= 8) {
    if (v <= 78) {
      ar.WriteInt32(entry_ ? entry_->moduleNumber : -1);
    } else {
      ar.WriteText(!unresolvedName_.empty() ? unresolvedName_ : entry_ ? entry_->name : std::string());
    }
  }
  if (v <= 58) ar.WriteObject(nullptr);
}

}  // namespace kr
