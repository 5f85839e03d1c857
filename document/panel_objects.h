// Panel objects: group boxes, portals and the control objects that stand
// for another document object on the panel.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/cug.h"
#include "document/notifier.h"

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

// How a sub-panel scrolls its container's panel ("Scroll Bars"); documents
// older than version 68 store 3, which scrolls as kAuto does.
enum class ScrollBars { kAuto = 0, kNone = 1, kEnable = 2 };

class CPortal : public CDocOb {
 public:
  static const RuntimeClass kClass;
  ScrollBars Bars() const {
    return mode == 1 ? ScrollBars::kNone : mode == 2 ? ScrollBars::kEnable : ScrollBars::kAuto;
  }
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

// "Control Group": panel objects gathered into one, stored relative to the
// group's own panel rectangle.
class control_group_ob : public control_ob_base {
 public:
  static const RuntimeClass kClass;
  control_group_ob() : control_ob_base(kClass) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  void SetParent(CContainer* parent) override;
  void AttachToParent(CContainer* parent) override;
  void PostLoadInit() override;
  // Takes a member whose panel rectangle is still in the container's
  // coordinates; Normalise makes the members relative again.
  control_ob_base& AddMember(std::unique_ptr<control_ob_base> member);
  // The union of the members' panel rectangles becomes the group's, and
  // every member moves by minus its top-left corner.
  void Normalise();
  std::vector<control_ob_base*> members;

 private:
  std::vector<std::unique_ptr<control_ob_base>> owned_;  // the members this group made or loaded
};

// "Paged Group": objects of its container listed by page number; the panel
// shows those of the page its "Page" plug names. It announces NC_PAGE when
// that value changes, and keeps the page's item list to "Page Names".
class CTabBox : public control_ob_base, public Notifiable {
 public:
  static const RuntimeClass kClass;
  CTabBox() : control_ob_base(kClass) {}
  ~CTabBox() override;
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  void PostLoadInit() override;
  // Listens to the "Page" and "Page Names" plugs once they are in place.
  void Watch();
  void OnNotify(Notifier* source, int code, void* data) override;
  CPlug2* PagePlug() const { return FindPlug("Page"); }
  // The page names, "Page Names" split at commas.
  std::vector<std::string> PageNames() const;
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
