// Base of every object a document holds: which registry entry it was made
// from, its selection, and the container it belongs to.
#pragma once

#include <memory>
#include <string>

#include "document/has_parameters.h"
#include "document/notifier.h"
#include "formats/archive/geometry.h"
#include "formats/archive/runtime_class.h"

namespace kr {

class CContainer;
class CPatchManager;
struct StoredDocument;
class Module_Info;

class CDocOb : public CObject, public Notifier, public HasParameters {
 public:
  static const RuntimeClass kClass;
  CDocOb() = default;
  explicit CDocOb(Module_Info* entry) : entry_(entry) {}

  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override { LoadDocObPart(ar); }
  void Store(ArchiveWriter& ar) const override { StoreDocObPart(ar); }

  Module_Info* Entry() const { return entry_; }
  void SetEntry(Module_Info* entry) {
    entry_ = entry;
    unresolvedName_.clear();
  }
  // Entry by registry name; null (and no entry) when the name is unknown.
  void SetEntryByName(std::string_view name);
  // The registry name the document stored when no entry provides it (empty
  // otherwise); it is written back in its place, so that the module survives
  // a round trip through a plug-in that lacks it.
  const std::string& UnresolvedEntryName() const { return unresolvedName_; }
  // Takes the entry that stands in for the unresolved one; the stored name stays.
  void SetStandInEntry(Module_Info* entry) { entry_ = entry; }

  bool Flag() const { return flag_; }
  void SetFlag(bool flag) { flag_ = flag; }
  bool Selected() const { return selected_; }
  virtual void SetSelected(bool selected);

  CContainer* Parent() const { return parent_; }
  virtual void SetParent(CContainer* parent) { parent_ = parent; }
  // Sets the parent link; containers pass it on to every child.
  virtual void AttachToParent(CContainer* parent) { parent_ = parent; }
  // Runs once after a document has been read or built.
  virtual void PostLoadInit() {}

  // The document of the tree this object is in (asks up to the root).
  StoredDocument* OwningDocument() const;
  // Patch memory of the nearest enclosing container that has one.
  virtual CPatchManager* NearestPatchMemory() const;

  virtual DocRect GetRect(int viewKind) const;
  virtual void SetRect(int viewKind, const DocRect& rect);
  virtual std::string Title() const;

 protected:
  // The identity fields shared by most document classes.
  void LoadDocObPart(ArchiveReader& ar);
  void StoreDocObPart(ArchiveWriter& ar) const;

 private:
  Module_Info* entry_ = nullptr;
  std::string unresolvedName_;
  bool flag_ = false;
  bool selected_ = false;
  CContainer* parent_ = nullptr;
};

// Registry lookups used while loading.
Module_Info* FindModuleEntry(std::string_view name);
Module_Info* FindModuleEntryByNumber(int moduleNumber);

}  // namespace kr
