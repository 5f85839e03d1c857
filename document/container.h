// A container: a module that holds modules, wires and panel objects, and the
// document's root.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "document/cug.h"
#include "document/module_parameters.h"
#include "document/patch_manager.h"

namespace kr {

class CLine2;
struct StoredDocument;

class CContainer : public CUG_with_patches {
 public:
  static const RuntimeClass kClass;
  CContainer();
  explicit CContainer(Module_Info* entry);
  ~CContainer() override;

  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  // --- children -----------------------------------------------------------
  const std::vector<std::unique_ptr<CDocOb>>& Children() const { return children_; }
  // A wire goes to the end of the list, anything else to the front. Sets the
  // child's parent and tells observers (code 17).
  CDocOb& AddChild(std::unique_ptr<CDocOb> child);
  // Unlinks a child and hands it back; its observers hear code 16.
  std::unique_ptr<CDocOb> TakeChild(CDocOb* child);
  // Unlinks and destroys a child (a wire first leaves its plugs).
  void RemoveChild(CDocOb* child);
  bool HasChild(const CDocOb* child) const;

  // The first child module whose entry has the I/O flag, or null.
  CUG* FindIOModule() const;
  // Makes one from the entry "IO Mod" when there is none.
  CUG* FindOrCreateIOModule();
  // Joins two plugs with a new wire owned by this container (no checks).
  CLine2& MakeWire(CPlug2& a, CPlug2& b);

  // --- patch memory -------------------------------------------------------
  CPatchManager* PatchMemory() const { return patchMemory_.get(); }
  CPatchManager& EnsurePatchMemory();
  void SetPatchMemory(std::unique_ptr<CPatchManager> memory);
  // The patch memory of this container or the nearest enclosing one.
  CPatchManager* NearestPatchMemory() const override;
  // The root and every container holding a "Patch Select" have programs.
  bool NeedsPatchMemory() const;

  // --- programs ---------------------------------------------------------
  // The own patch memory's current patch, else the last program set here.
  int CurrentProgram() const;
  // The name of a program in the nearest patch memory ("Patch %3d" of its
  // number plus 1 when it has none).
  std::string ProgramName(int program) const;
  void RenameCurrentProgram(std::string name);
  // The patch memory follows, "Program" and "Program Name" announce the
  // change, observers hear code 28 before and after the children follow
  // (nested containers without "Ignore Program Change", legacy controls,
  // "Patch Select"). Programs outside 0..127 are ignored.
  void SetProgram(int program);
  // A child container follows its parent's program unless told to ignore it.
  void FollowProgram(int program) override;
  parameter_cug_xtra& ContainerParameter(parameter_cug_xtra::Index index) const {
    return *containerParameters_[static_cast<std::size_t>(index)];
  }
  // Chooses a skin by name; "Skin" announces it and observers hear code 20.
  void SetSkinName(std::string name);

  // --- features (their values live in the feature plugs) -------------------
  struct FeatureInfo {
    const char* name;
    std::uint32_t flags;
  };
  static constexpr int kFeatureCount = 3;
  // 0 "Controls on Parent", 1 "Controls on Module", 2 "Ignore Program Change".
  static const FeatureInfo& Feature(int index);
  bool FeatureValue(int featureIndex) const;
  // Sets a feature through its feature plug, adding the plug when missing.
  void SetFeatureValue(int featureIndex, bool value);
  bool ControlsOnParent() const { return FeatureValue(0); }
  bool ControlsOnModule() const { return FeatureValue(1); }
  bool IgnoreProgramChange() const { return FeatureValue(2); }

  // --- stored settings ----------------------------------------------------
  std::int32_t flags = 0;  // 0x80 panel window open, 0x100 structure window open
  std::array<DocRect, 2> windowRects{DocRect{30, 30, 530, 330}, DocRect{0, 0, 500, 400}};  // panel, structure
  DocRect panelRect{};
  std::array<DocPoint, 2> scrollPositions{};
  std::string skinName = "default";
  bool SpareOption() const { return spareOption_; }
  void SetSpareOption(bool option);

  DocRect GetRect(int viewKind) const override;
  void SetRect(int viewKind, const DocRect& rect) override;

  // A "Spare" plug takes the container's spare option whenever it is made.
  void PlugAdded(CPlug2& plug) override;
  void AttachToParent(CContainer* parent) override;
  void PostLoadInit() override;

  // Objects a document held that nothing else owns (kept so that references
  // to them stay valid). Set on the root by the loader.
  std::vector<std::unique_ptr<CObject>> unownedObjects;
  // The document that owns this tree; set on the root only.
  StoredDocument* document = nullptr;

 private:
  CPlugFeature* FeaturePlug(int featureIndex) const;
  void LoadOldGraphics(ArchiveReader& ar);
  void AddLoadedChild(ArchiveReader& ar, CObject* ob, bool convertOldLines);
  void StoreChildren(ArchiveWriter& ar) const;
  std::vector<const CObject*> ChildrenInStreamOrder(ArchiveWriter& ar) const;

  std::vector<std::unique_ptr<CDocOb>> children_;
  void MakeContainerParameters();

  std::unique_ptr<CPatchManager> patchMemory_;
  bool spareOption_ = false;
  int program_ = 0;
  std::array<parameter_cug_xtra*, 3> containerParameters_{};
};

// Makes the document object of an entry: its document factory, or a plain
// module of the entry's kind. Null for an unknown name.
std::unique_ptr<CUG> MakeDocumentObject(Module_Info& entry);
std::unique_ptr<CUG> MakeDocumentObjectByName(std::string_view name);

}  // namespace kr
