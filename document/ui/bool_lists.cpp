// The modules between lists and rows of on/off values: "Bool Splitter",
// "List To Bools" and "Bools to List".
#include <algorithm>

#include "document/cug.h"
#include "document/plug2.h"
#include "document/ui/gui_side_logic.h"
#include "registry/interface_object.h"
#include "registry/item_list.h"

namespace kr::ui {

namespace {

// A list longer than this (a wide range) gets inputs for its first items only.
constexpr std::size_t kMostInputs = 4096;

// The output a new splitter starts with; wiring the last one adds another.
constexpr FeatureSpec kSpare{"Spare", DT_BOOL, FeatureKind::Link, "", PF_RENAME | PF_AUTO_DUPLICATE, "0"};

// A module whose outputs after the first plug are bool links that grow: a
// wire on the last one adds a new spare.
class GrowingBoolOutputs : public has_features {
 public:
  using has_features::has_features;

 protected:
  void AddStartingPlugs() override { AddFeaturePlug(kSpare, -1); }
  void OnWiresChanged(std::size_t index) override {
    if (index + 1 == PlugCount() && index > 0 && !PlugAt(index)->Wires().empty()) AddFeaturePlug(kSpare, -1);
  }
};

// "Bool Splitter": one bool value copied to every output, and back.
class ui_bool_splitter final : public GrowingBoolOutputs {
 public:
  using GrowingBoolOutputs::GrowingBoolOutputs;

 private:
  static constexpr FeatureSpec kFeatures[] = {{"In", DT_BOOL, FeatureKind::Value, "", PF_AUTO_LIST}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void OnVariableChanged(std::size_t index) override {
    if (index != 0) return;
    const bool in = Bool(0);
    for (std::size_t i = 1; i < PlugCount(); ++i) WriteBool(i, in);
  }
  void OnControlChanged(std::size_t index) override {
    if (index > 0) SetBool(0, FarBool(index));
  }
};

// "List To Bools": output k is lit while the list value is k - 1.
class ui_enum_to_bools final : public GrowingBoolOutputs {
 public:
  using GrowingBoolOutputs::GrowingBoolOutputs;

 private:
  static constexpr FeatureSpec kFeatures[] = {{"List", DT_ENUM, FeatureKind::Value, "", PF_AUTO_LIST}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void OnVariableChanged(std::size_t index) override {
    if (index != 0) return;
    const int value = Integer(0);
    const std::size_t target = value >= 0 ? static_cast<std::size_t>(value) + 1 : PlugCount();
    CPlug2* before = lit_;
    lit_ = nullptr;
    if (target < PlugCount()) {
      WriteBool(target, true);
      lit_ = PlugAt(target);
    }
    if (before != nullptr && before != lit_)
      if (const std::size_t i = IndexOf(before); i < PlugCount()) WriteBool(i, false);
  }
  void OnControlChanged(std::size_t index) override {
    if (index > 0 && FarBool(index)) SetInteger(0, static_cast<int>(index) - 1);
  }
  void OnPlugsChanged() override {
    if (PlugCount() >= plugCount_) {
      plugCount_ = PlugCount();
      return;
    }
    // A plug went: start again from the first item.
    plugCount_ = PlugCount();
    if (IndexOf(lit_) >= PlugCount()) lit_ = nullptr;
    SetInteger(0, 0);
  }
  void Started() override { plugCount_ = PlugCount(); }

  CPlug2* lit_ = nullptr;  // the output lit last
  std::size_t plugCount_ = 0;
};

// "Bools to List": one bool input per item of the linked list; an input
// turned on selects its item.
class ui_bools_to_enum final : public has_features {
 public:
  using has_features::has_features;

 private:
  static constexpr FeatureSpec kFeatures[] = {{"Value", DT_ENUM, FeatureKind::Link}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void OnControlChanged(std::size_t index) override {
    if (index == 0) Follow();
  }
  void OnControlListChanged(std::size_t index) override {
    if (index == 0) Follow();
  }
  void OnVariableChanged(std::size_t index) override {
    if (following_ || index == 0 || !Bool(index)) return;
    EnumListIterator items(FarItemList(0));
    for (items.First(); !items.IsDone(); items.Next()) {
      if (static_cast<std::size_t>(items.CurrentIndex()) + 1 != index) continue;
      if (items.CurrentValue() != FarInteger(0)) {
        WriteInteger(0, items.CurrentValue());
        Follow();  // the other inputs turn off
      }
      return;
    }
  }

  // Inputs for the items of the linked list, each on while its item is the value.
  void Follow() {
    if (!Attached(0)) return;
    following_ = true;
    const int value = FarInteger(0);
    EnumListIterator items(FarItemList(0));
    std::size_t count = 0;
    for (items.First(); !items.IsDone() && count < kMostInputs; items.Next(), ++count) {
      const std::size_t input = count + 1;
      if (input >= PlugCount()) {
        const FeatureSpec spec{items.CurrentLabel().c_str(), DT_BOOL, FeatureKind::Value};
        AddFeaturePlug(spec, static_cast<int>(input));
      }
      SetBool(input, items.CurrentValue() == value);
    }
    // Inputs past the list go, from the last back to the first one wired.
    while (PlugCount() > count + 1) {
      CPlug2* last = PlugAt(PlugCount() - 1);
      if (!last->Wires().empty()) break;
      RemovePlug(*last);
    }
    following_ = false;
  }
  bool following_ = false;
};

}  // namespace

std::unique_ptr<has_features> MakeBoolListModule(CUG& module, std::string_view name) {
  if (name == "Bool Splitter") return std::make_unique<ui_bool_splitter>(module);
  if (name == "List To Bools") return std::make_unique<ui_enum_to_bools>(module);
  if (name == "Bools to List") return std::make_unique<ui_bools_to_enum>(module);
  return nullptr;
}

}  // namespace kr::ui
