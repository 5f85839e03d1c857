// Panel objects: group boxes, portals and the control objects that stand
// for another document object on the panel.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/cug.h"

namespace kr {

class CPanelBox2 : public CDocOb {
 public:
  static const RuntimeClass kClass;
  CPanelBox2() = default;
  CPanelBox2(Module_Info* entry, std::string caption, const DocRect& rect)
      : CDocOb(entry), caption(std::move(caption)), rect(rect) {}
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  DocRect GetRect(int) const override { return rect; }

  std::string caption;
  DocRect rect{};
};

class CPortal : public CDocOb {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  DocRect GetRect(int) const override { return rect; }

  std::string text;
  DocRect rect{};
  std::int32_t mode = 3;
};

// A panel item standing for another document object (not owned).
class control_ob_base : public CUG {
 public:
  static const RuntimeClass kClass;
  control_ob_base() = default;
  explicit control_ob_base(const RuntimeClass& cls) : class_(&cls) {}
  const RuntimeClass& Class() const override { return *class_; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  DocRect GetRect(int viewKind) const override { return viewKind == kPanelView ? rect : CUG::GetRect(viewKind); }
  void SetRect(int viewKind, const DocRect& r) override {
    if (viewKind != kPanelView) return CUG::SetRect(viewKind, r);
    rect = r;
    CDocOb::SetRect(viewKind, r);
  }

  CDocOb* target = nullptr;
  DocRect rect{};

 protected:
  const RuntimeClass* class_ = &kClass;
};

// control_ob and its siblings: a list of (key, value, value) triples follows,
// which is read and ignored.
class control_ob : public control_ob_base {
 public:
  explicit control_ob(const RuntimeClass& cls) : control_ob_base(cls) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
};

// The panel object of a registry entry ("Image", "Joystick Image", "Tinted
// Image", "List Entry2", "Text Entry2"), with one feature plug for each feature of its widget; null for
// other entries.
std::unique_ptr<CUG> MakePanelObject(Module_Info& entry);

class control_group_ob : public control_ob_base {
 public:
  static const RuntimeClass kClass;
  control_group_ob() : control_ob_base(kClass) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  std::vector<control_ob_base*> members;  // not owned
};

class CTabBox : public control_ob_base {
 public:
  static const RuntimeClass kClass;
  CTabBox() : control_ob_base(kClass) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  DocRect tabRect{};
  std::vector<std::pair<CDocOb*, std::int32_t>> tabs;  // object (not owned), tab number
};

namespace panel_classes {
std::span<const RuntimeClass* const> All();
// The panel objects that show one widget with plugs.
extern const RuntimeClass kControlObBitmap;
extern const RuntimeClass kControlObList;
extern const RuntimeClass kControlObText;
extern const RuntimeClass kControlObJoystick;
extern const RuntimeClass kControlObTinted;
}

}  // namespace kr
