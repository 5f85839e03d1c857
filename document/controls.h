// Legacy control modules: one stored value per patch (128 slots), typed by
// the control's class.
#pragma once

#include <string>
#include <vector>

#include "document/cug.h"

enum class ControlValueType { Integer, Text, Number };

class CControl : public CUG {
 public:
  static const RuntimeClass kClass;
  static constexpr int kSlots = 128;
  CControl() = default;
  explicit CControl(const RuntimeClass& cls) : class_(&cls) {}
  CControl(const RuntimeClass& cls, ControlValueType forcedType) : class_(&cls), forcedType_(forcedType), forced_(true) {}
  const RuntimeClass& Class() const override { return *class_; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  ControlValueType ValueType() const;
  // Sliders, lists, meters and the generic control classes.
  bool TakesMidiAutomation() const override;
  DocRect GetRect(int viewKind) const override { return viewKind == kPanelView ? rect : CUG::GetRect(viewKind); }

  // The stored values, by type; slots beyond them hold defaults.
  std::int32_t key = 0;  // identifies the control in program chunks
  std::vector<std::int32_t> integers;
  std::vector<double> numbers;
  std::vector<std::string> texts;
  bool singleValue = false;
  DocRect rect{};
  std::string text;

 protected:
  void LoadControlPart(ArchiveReader& ar);
  void StoreControlPart(ArchiveWriter& ar) const;

 private:
  const RuntimeClass* class_ = &kClass;
  ControlValueType forcedType_ = ControlValueType::Number;
  bool forced_ = false;
};

// "Patch Select". Before version 50 it was an integer control with one patch,
// stored without a tag.
class Ctl_PatchSel : public CUG {
 public:
  static const RuntimeClass kClass;
  Ctl_PatchSel();
  explicit Ctl_PatchSel(Module_Info* entry);
  ~Ctl_PatchSel() override;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  std::unique_ptr<CControl> legacyControl;  // the inner control of old documents
};

// Pattern sequencers share this part (after the control values).
class CPattSeq : public CControl {
 public:
  static const RuntimeClass kClass;
  CPattSeq() : CControl(kClass) {}
  explicit CPattSeq(const RuntimeClass& cls) : CControl(cls) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::int32_t droppedSetting = 0;
  std::int32_t setting = 0;
  bool booleanSetting = false;
  std::vector<std::int32_t> list;
  std::int32_t laterSetting = 0;  // version 25 on

 protected:
  void LoadPattPart(ArchiveReader& ar);
  void StorePattPart(ArchiveWriter& ar) const;
};

struct SequencerStep {
  std::int32_t values[4] = {0, 0, 0, 0};
  bool operator==(const SequencerStep&) const = default;
};

class CStepSeq2 : public CPattSeq {
 public:
  static const RuntimeClass kClass;
  CStepSeq2() : CPattSeq(kClass) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  static constexpr int kPatterns = 32;
  std::vector<std::vector<SequencerStep>> patterns = std::vector<std::vector<SequencerStep>>(kPatterns);
  std::vector<std::vector<std::int32_t>> stepFlags = std::vector<std::vector<std::int32_t>>(kPatterns);
};

class CDrumSeq : public CPattSeq {
 public:
  static const RuntimeClass kClass;
  CDrumSeq() : CPattSeq(kClass) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  static constexpr int kPatterns = 32;
  std::vector<std::vector<std::int32_t>> patterns = std::vector<std::vector<std::int32_t>>(kPatterns);
};

class CStepSeq : public CUG {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  DocRect panelRect{};
  std::int32_t setting = 0;
  std::vector<std::vector<SequencerStep>> patterns;
  bool booleanSetting = false;
  std::vector<std::int32_t> list;
};

namespace control_classes {
std::span<const RuntimeClass* const> All();
}
